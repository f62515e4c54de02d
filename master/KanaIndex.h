#pragma once
// The index buttons of the kana-index search windows: a button per kana of the
// syllabary and per full-width capital letter, and "指定無し". A button narrows the
// list to the readings that begin with its text or with one of its further prefixes
// (the voiced kana that sort under it: か also finds が, は also ば and ぱ).

#include <QString>
#include <QStringList>

#include <vector>

struct KanaIndexButton {
    QString text;
    int number = 0;          // 0: no filter
    QStringList prefixes{};  // further prefixes matched
    int row = 0;             // place in the button table
    int column = 0;
};

// 指定無し, the kana rows あ..わ, then Ａ..Ｚ, in reading order.
const std::vector<KanaIndexButton>& KanaIndexButtons();

// The filter on FURIGANA for a button; empty for a button without a filter.
QString KanaIndexFilter(const KanaIndexButton& button);
