#pragma once
// What a receipt for a payment of dues says: its number, to whom, the amount in
// figures and in words, what it is for, the day, the organisation and who received
// the money. Pure: the report writes these texts into the slips.

#include "kaihi/KaihiRules.h"

#include <QString>

#include <vector>

// Who gives the year's receipts: the organisation's name and its treasurer (役職 and
// name) as the year's texts hold them; empty where they are not filled in.
struct KaihiIssuer {
    QString dantai;
    QString yakusyoku;
    QString kaikei;
};

struct KaihiRyosyusyo {
    QString bango;          // "No. 000012"
    bool saihakko = false;  // printed once before
    QString atena;          // "山田 太郎　様"
    QString kingaku;        // "￥12,000－"
    QString daiji;          // "金壱萬弐阡円也"
    QString tadashi;        // "但し　一般会費 4～6月分として"
    QString hizuke;         // "2026年5月10日", the day it was paid
    QString dantai;
    QString uketori;  // "受領者　1班 班長　佐藤 花子", or the treasurer for a transfer
    bool operator==(const KaihiRyosyusyo&) const = default;
};

// The receipt numbered `number` for `noufu`. The receiver is the 班長 of the 班 it
// was paid through, or the treasurer (役職 会計 when none is set) for a transfer.
KaihiRyosyusyo RyosyusyoOf(const KaihiNoufu& noufu, int number, bool reissue,
                           const std::vector<KaihiHan>& han, const std::vector<KaihiSetaiName>& setai,
                           const std::vector<KaihiSyurui>& syurui, const KaihiIssuer& issuer);
