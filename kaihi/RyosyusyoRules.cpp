#include "kaihi/RyosyusyoRules.h"

#include <QLocale>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

KaihiRyosyusyo RyosyusyoOf(const KaihiNoufu& noufu, int number, bool reissue,
                           const std::vector<KaihiHan>& han, const std::vector<KaihiSetaiName>& setai,
                           const std::vector<KaihiSyurui>& syurui, const KaihiIssuer& issuer) {
    KaihiRyosyusyo r;
    r.bango = u"No. %1"_s.arg(number, 6, 10, QChar(u'0'));
    r.saihakko = reissue;
    const auto name = std::find_if(setai.begin(), setai.end(),
                                   [&](const KaihiSetaiName& s) { return s.setaiCd == noufu.setaiCd; });
    r.atena = (name == setai.end() ? QString() : name->name) + u"　様"_s;
    // The full-width yen sign and the closing dash leave no room for a digit.
    r.kingaku = u"￥"_s + QLocale(QLocale::Japanese).toString(noufu.kingaku) + u"－"_s;
    r.daiji = u"金"_s + KingakuDaiji(noufu.kingaku) + u"円也"_s;
    const auto kind = std::find_if(syurui.begin(), syurui.end(),
                                   [&](const KaihiSyurui& s) { return s.syuruiCd == noufu.syuruiCd; });
    QString what = kind == syurui.end() ? u"会費"_s : kind->name;
    if ((kind == syurui.end() || kind->perMonth) && !noufu.months.empty()) {
        std::vector<QDate> months = noufu.months;
        std::sort(months.begin(), months.end());
        what += u" "_s + TsukiText(months) + u"分"_s;
    }
    r.tadashi = u"但し　"_s + what + u"として"_s;
    r.hizuke = noufu.hizuke.toString(u"yyyy年M月d日"_s);
    r.dantai = issuer.dantai;
    if (noufu.viaHanCd != 0) {
        const auto h = std::find_if(han.begin(), han.end(),
                                    [&](const KaihiHan& x) { return x.hanCd == noufu.viaHanCd; });
        const QString hanName = h == han.end() ? QString() : h->name;
        const QString hancyo = h == han.end() ? QString() : h->hancyo;
        r.uketori = u"受領者　"_s + hanName + u" 班長"_s + (hancyo.isEmpty() ? QString() : u"　"_s + hancyo);
    } else {
        const QString title = issuer.yakusyoku.isEmpty() ? u"会計"_s : issuer.yakusyoku;
        r.uketori = u"受領者　"_s + title + (issuer.kaikei.isEmpty() ? QString() : u"　"_s + issuer.kaikei);
    }
    return r;
}
