#include "master/KanaIndex.h"

namespace {

// Kana rows of the table: the five places of a row, a blank where the syllabary
// has no letter, the number of each letter and the voiced forms found under it.
struct KanaRow {
    const char16_t* letters;  // five characters, U+3000 for an empty place
    int numbers[5];
    const char16_t* voiced;  // five characters or empty
    const char16_t* semiVoiced;
};

constexpr KanaRow kKanaRows[] = {
    {u"あいうえお", {1, 2, 3, 4, 5}, u"", u""},
    {u"かきくけこ", {6, 7, 8, 9, 10}, u"がぎぐげご", u""},
    {u"さしすせそ", {11, 12, 13, 14, 15}, u"ざじずぜぞ", u""},
    {u"たちつてと", {16, 17, 18, 19, 20}, u"だぢづでど", u""},
    {u"なにぬねの", {21, 22, 23, 24, 25}, u"", u""},
    {u"はひふへほ", {26, 27, 28, 29, 30}, u"ばびぶべぼ", u"ぱぴぷぺぽ"},
    {u"まみむめも", {31, 32, 33, 34, 35}, u"", u""},
    {u"や　ゆ　よ", {36, 0, 37, 0, 38}, u"", u""},
    // The ら and わ rows reuse numbers: a number only says that there is a filter.
    {u"らりるれろ", {39, 40, 41, 37, 38}, u"", u""},
    {u"わ　を　ん", {39, 0, 40, 0, 41}, u"", u""},
};

constexpr int kColumns = 5;
constexpr int kFirstLetterNumber = 56;  // Ａ

std::vector<KanaIndexButton> BuildButtons() {
    std::vector<KanaIndexButton> buttons;
    buttons.push_back({QStringLiteral("指定無し"), 0, {}, 0, 0});
    int row = 1;
    for (const KanaRow& kana : kKanaRows) {
        const QString letters = QString::fromUtf16(kana.letters);
        const QString voiced = QString::fromUtf16(kana.voiced);
        const QString semiVoiced = QString::fromUtf16(kana.semiVoiced);
        for (int c = 0; c < kColumns; ++c) {
            if (letters[c] == QChar(u'　'))
                continue;
            KanaIndexButton button{letters.mid(c, 1), kana.numbers[c], {}, row, c};
            if (!voiced.isEmpty())
                button.prefixes << voiced.mid(c, 1);
            if (!semiVoiced.isEmpty())
                button.prefixes << semiVoiced.mid(c, 1);
            buttons.push_back(std::move(button));
        }
        ++row;
    }
    ++row;  // a blank row between the kana and the letters
    for (int i = 0; i < 26; ++i) {
        const QString letter(QChar(static_cast<char16_t>(u'Ａ' + i)));
        buttons.push_back({letter, kFirstLetterNumber + i, {}, row + i / kColumns, i % kColumns});
    }
    return buttons;
}

}  // namespace

const std::vector<KanaIndexButton>& KanaIndexButtons() {
    static const std::vector<KanaIndexButton> buttons = BuildButtons();
    return buttons;
}

QString KanaIndexFilter(const KanaIndexButton& button) {
    if (button.number == 0)
        return {};
    QString filter = QStringLiteral("(FURIGANA like '") + button.text + QStringLiteral("%')");
    for (const QString& prefix : button.prefixes)
        filter += QStringLiteral(" or (FURIGANA Like '") + prefix + QStringLiteral("%')");
    return filter;
}
