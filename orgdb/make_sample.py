#!/usr/bin/env python3
"""Writes sample.sql: the sample organisation ○○○○自治会 on top of the empty database.

Run it from anywhere after changing the data below, and commit both files:

    python3 orgdb/make_sample.py

The build only runs the committed sample.sql, so it needs no Python. The output is
fully determined by this file (no randomness, no clock).

The figures are derived, not typed twice: the carry-over into 2025 comes from the
hand-typed 2024 comparison figures, the carry-over into 2026 from the 2025 journal,
the reserve fund (7000) from the rest of each budget, the 2026 comparison columns
from the 2025 budget and journal, and the 2025 settlement lines from the 2025
budget and journal, the way the budget and settlement windows would save them.
"""

import os
import re
import sys

ORG = "○○○○自治会"
GENERAL, BOUSAI = 0, 1
RESERVE, CARRY_IN, CARRY_OUT, FROM_GENERAL, TO_GENERAL = 7000, 100, 8000, 3000, 6000

# --------------------------------------------------------------------------------------
# Chart of accounts

# code, name, receipts(1)/payments(2), display order
BUNRUI = [
    (10, "会費", 1, 10),
    (20, "補助金", 1, 20),
    (26, "寄付金", 1, 30),
    (28, "雑収入", 1, 40),
    (40, "会議費", 2, 10),
    (41, "事務費", 2, 20),
    (42, "行事費", 2, 30),
    (43, "慶弔費", 2, 40),
    (44, "負担金", 2, 50),
    (45, "施設管理費", 2, 60),
    (46, "防災事業費", 2, 70),
]
BUILTIN_BUNRUI_KIND = {1: 1, 30: 1, 60: 2, 70: 2, 80: 2}

# code, name, classification, first year, last year, display order, transfer division
KAMOKU = [
    (1001, "一般会費", 10, None, None, 1, 0),
    (1002, "特別会費", 10, None, None, 2, 0),
    (2001, "市補助金", 20, None, None, 1, 0),
    (2002, "社会福祉協議会助成金", 20, None, None, 2, 0),
    (2601, "寄付金", 26, None, None, 1, 0),
    (2801, "受取利息", 28, None, None, 1, 0),
    (2802, "雑収入", 28, None, None, 2, 0),
    (2803, "積立金利息", 28, None, None, 3, 0),
    (4001, "総会費", 40, None, None, 1, 0),
    (4002, "役員会費", 40, None, None, 2, 0),
    (4101, "事務用品費", 41, None, None, 1, 0),
    (4102, "通信費", 41, None, None, 2, 0),
    (4103, "印刷費", 41, None, None, 3, 0),
    (4201, "夏祭り", 42, None, None, 1, 0),
    (4202, "敬老会", 42, None, None, 2, 0),
    (4203, "防災訓練", 42, None, None, 3, 0),
    (4204, "清掃活動", 42, None, None, 4, 0),
    (4205, "運動会", 42, None, 2025, 5, 0),  # last held in 2025
    (4206, "ふれあいサロン", 42, 2026, None, 6, 0),  # started in 2026
    (4301, "慶弔費", 43, None, None, 1, 0),
    (4401, "連合自治会費", 44, None, None, 1, 0),
    (4402, "赤い羽根募金", 44, None, None, 2, 0),
    (4501, "防犯灯電気料", 45, None, None, 1, 0),
    (4502, "防犯灯修繕費", 45, None, None, 2, 0),
    (4601, "防災用品購入費", 46, None, None, 1, 0),
    (4602, "防災倉庫維持費", 46, None, None, 2, 0),
    (6001, "防災積立金繰出金", 60, None, None, 1, BOUSAI),
]
TRANSFER_ITEM = 6001  # general-account payment into the reserve account

# Items only the special account uses; the treasurer removed them from the
# general account's budget.
SPECIAL_ONLY = {2803, 4601, 4602}

BUNRUI_KIND = dict(BUILTIN_BUNRUI_KIND)
BUNRUI_KIND.update((cd, kind) for cd, _, kind, _ in BUNRUI)
KIND = {code: BUNRUI_KIND[code // 100] for code in (100, 3000, 6000, 7000, 8000)}
KIND.update((code, BUNRUI_KIND[bunrui]) for code, _, bunrui, *_ in KAMOKU)
VALIDITY = {code: (start, end) for code, _, _, start, end, _, _ in KAMOKU}


def valid(item, year):
    start, end = VALIDITY.get(item, (None, None))
    return (start or 0) <= year <= (end or 9999)


# --------------------------------------------------------------------------------------
# Descriptions and counterparties with their readings

TEKIYO = {
    "一般会費": "いっぱんかいひ",
    "特別会費（夏祭り協賛）": "とくべつかいひ",
    "自治会活動補助金": "じちかいかつどう",
    "防犯灯維持管理補助金": "ぼうはんとうほじょ",
    "地区福祉活動助成金": "ちくふくし",
    "普通預金利息": "ふつうよきん",
    "定期預金利息": "ていきよきん",
    "資源回収奨励金": "しげんかいしゅう",
    "役員会　茶菓子代": "やくいんかい",
    "総会　茶菓子代": "そうかい",
    "総会資料印刷": "そうかいしりょう",
    "自治会だより印刷": "じちかいだより",
    "切手代": "きってだい",
    "防犯灯電気料": "ぼうはんとう",
    "行事保険料": "ぎょうじほけん",
    "ゴミ袋・軍手": "ごみぶくろ",
    "清掃後の飲み物": "せいそうご",
    "香典": "こうでん",
    "お見舞い": "おみまい",
    "供花": "きょうか",
    "防災積立金の積立": "ぼうさいつみたて",
    "ふれあいサロン　茶菓子": "ふれあいさろん",
}

AITE = {
    "１班": "いっぱん",
    "２班": "にはん",
    "３班": "さんぱん",
    "４班": "よんはん",
    "５班": "ごはん",
    "６班": "ろっぱん",
    "○○市": "まるまるし",
    "○○市社会福祉協議会": "まるまるししゃかいふくしきょうぎかい",
    "○○銀行": "まるまるぎんこう",
    "○○電力": "まるまるでんりょく",
    "○○連合自治会": "まるまるれんごうじちかい",
    "共同募金会": "きょうどうぼきんかい",
    "なかよし商店": "なかよししょうてん",
    "ひまわり文具": "ひまわりぶんぐ",
    "あおば印刷": "あおばいんさつ",
    "郵便局": "ゆうびんきょく",
    "山本酒店": "やまもとさかてん",
    "ホームセンター青葉": "ほーむせんたーあおば",
    "はなまる弁当": "はなまるべんとう",
    "いろは和菓子店": "いろはわがしてん",
    "おもちゃの森": "おもちゃのもり",
    "青葉損害保険": "あおばそんがいほけん",
    "青葉電気工事": "あおばでんきこうじ",
    "花の店さくら": "はなのみせさくら",
    "丸山商店": "まるやましょうてん",
    "防災積立会計": "ぼうさいつみたてかいけい",
}

# --------------------------------------------------------------------------------------
# Journal

FW = str.maketrans("0123456789", "０１２３４５６７８９")


def fw(n):
    """A number in full-width digits."""
    return str(n).translate(FW)


lines = []  # [year, division, date, counterparty, description, item, receipt, payment]


def receipt(year, date, aite, tekiyo, item, amount, division=GENERAL):
    lines.append([year, division, date, aite, tekiyo, item, amount, None])


def payment(year, date, aite, tekiyo, item, amount, division=GENERAL):
    lines.append([year, division, date, aite, tekiyo, item, None, amount])


def transfer(year, date, amount):
    """A payment into the reserve account; its mirrored half is added when numbering."""
    payment(year, date, "防災積立会計", "防災積立金の積立", TRANSFER_ITEM, amount)


def month_dates(year):
    """(year, month) of every month of fiscal year `year`, April to March."""
    for i in range(12):
        y, m = (year, 4 + i) if i < 9 else (year + 1, i - 8)
        yield y, m


def households(han, y, m):
    base = {1: 18, 2: 22, 3: 20, 4: 16, 5: 24, 6: 19}[han]
    ym = y * 100 + m
    if han == 2 and ym >= 202510:
        base += 1  # a family moved in
    if han == 5 and ym >= 202601:
        base -= 1  # a family moved away
    if han == 3 and ym >= 202607:
        base += 2  # the new flats on the corner
    return base


DUES = 300  # yen per household and month
FESTIVAL_DUES = 500  # yen per household, once a year
LIGHT_BILLS = [4512, 4380, 4290, 4356, 4488, 4620, 4884, 5016, 5148, 5082, 4950, 4752]  # April..March
MEETING_TEA = [1380, 1210, 1540, 1296, 1620, 1188, 1450, 1730, 1312, 1580, 1264, 1890]


def d(y, m, day):
    return "%04d%02d%02d" % (y, m, day)


def regular_year(year):
    """Lines that come back every month: dues, street-light bills, board meetings."""
    for i, (y, m) in enumerate(month_dates(year)):
        for han in range(1, 7):
            receipt(year, d(y, m, 5 + han), fw(han) + "班", "一般会費", 1001, households(han, y, m) * DUES)
        payment(year, d(y, m, 12), "なかよし商店", "役員会　茶菓子代", 4002, MEETING_TEA[i] + (year - 2025) * 40)
        payment(year, d(y, m, 25), "○○電力", "防犯灯電気料", 4501, LIGHT_BILLS[i] + (year - 2025) * 96)
        if m in (5, 8, 11, 2):
            payment(year, d(y, m, 18), "あおば印刷", "自治会だより印刷", 4103, 6600)
        if year == 2026 and m >= 5:
            payment(year, d(y, m, 20), "いろは和菓子店", "ふれあいサロン　茶菓子", 4206, 2160 + (m % 3) * 270)
    festival_day = 14 if year == 2025 else 13  # collected the week before the festival
    for han in range(1, 7):
        receipt(year, d(year, 6, festival_day + han), fw(han) + "班", "特別会費（夏祭り協賛）", 1002,
                households(han, year, 6) * FESTIVAL_DUES)


# fiscal year 2025: April 2025 to March 2026
regular_year(2025)
receipt(2025, "20250523", "○○市社会福祉協議会", "地区福祉活動助成金", 2002, 25000)
receipt(2025, "20250613", "○○市", "自治会活動補助金", 2001, 85000)
receipt(2025, "20260220", "○○市", "防犯灯維持管理補助金", 2001, 25000)
receipt(2025, "20250818", "○○銀行", "普通預金利息", 2801, 24)
receipt(2025, "20260216", "○○銀行", "普通預金利息", 2801, 31)
receipt(2025, "20250725", "○○市", "資源回収奨励金", 2802, 4380)
receipt(2025, "20251024", "○○市", "資源回収奨励金", 2802, 3960)
receipt(2025, "20260123", "○○市", "資源回収奨励金", 2802, 4120)
receipt(2025, "20260327", "○○市", "資源回収奨励金", 2802, 3870)
receipt(2025, "20250914", "山本酒店", "敬老会へのご寄付", 2601, 10000)
payment(2025, "20250408", "ひまわり文具", "コピー用紙・ファイル", 4101, 3278)
payment(2025, "20250415", "あおば印刷", "総会資料印刷", 4001, 8800)
payment(2025, "20250420", "なかよし商店", "総会　茶菓子代", 4001, 3456)
payment(2025, "20250509", "郵便局", "切手代", 4102, 2520)
payment(2025, "20250601", "ホームセンター青葉", "ゴミ袋・軍手", 4204, 4378)
payment(2025, "20250601", "丸山商店", "清掃後の飲み物", 4204, 3120)
payment(2025, "20250620", "○○連合自治会", "連合自治会費（１１９世帯）", 4401, 23800)
payment(2025, "20250702", "ひまわり文具", "封筒・ボールペン", 4101, 1859)
payment(2025, "20250722", "青葉損害保険", "行事保険料", 4201, 3200)
payment(2025, "20250724", "ひまわり文具", "夏祭りポスター用品", 4201, 2310)
payment(2025, "20250726", "青葉電気工事", "夏祭り　提灯配線工事", 4201, 16500)
payment(2025, "20250729", "おもちゃの森", "夏祭り　子ども景品", 4201, 28750)
payment(2025, "20250801", "丸山商店", "夏祭り　飲料", 4201, 32400)
payment(2025, "20250801", "丸山商店", "夏祭り　焼きそば材料", 4201, 18640)
payment(2025, "20250802", "ホームセンター青葉", "夏祭り　氷・紙皿", 4201, 7986)
payment(2025, "20250803", "みどり太鼓保存会", "夏祭り　太鼓演奏謝礼", 4201, 10000)
payment(2025, "20250820", "郵便局", "敬老会案内はがき", 4102, 3655)
payment(2025, "20250905", "青葉損害保険", "行事保険料", 4202, 1800)
payment(2025, "20250913", "いろは和菓子店", "敬老会　紅白まんじゅう", 4202, 9000)
payment(2025, "20250914", "はなまる弁当", "敬老会　弁当（４５食）", 4202, 48600)
payment(2025, "20250914", "山本酒店", "敬老会　記念品", 4202, 15750)
payment(2025, "20250914", "みどり民謡会", "敬老会　民謡披露謝礼", 4202, 5000)
payment(2025, "20250919", "青葉電気工事", "防犯灯ＬＥＤ交換（２基）", 4502, 16500)
payment(2025, "20251003", "青葉損害保険", "行事保険料", 4205, 2400)
payment(2025, "20251010", "おもちゃの森", "運動会　参加賞", 4205, 19800)
payment(2025, "20251012", "丸山商店", "運動会　飲料", 4205, 12960)
payment(2025, "20251017", "共同募金会", "赤い羽根共同募金", 4402, 23800)
payment(2025, "20251030", "三丁目の会員宅", "お見舞い", 4301, 3000)
payment(2025, "20251105", "ホームセンター青葉", "防災訓練　非常食（試食用）", 4203, 12960)
payment(2025, "20251105", "ホームセンター青葉", "防災訓練　飲料水", 4203, 2592)
payment(2025, "20251109", "青葉損害保険", "行事保険料", 4203, 1200)
payment(2025, "20251118", "ひまわり文具", "プリンターインク", 4101, 6578)
payment(2025, "20251130", "ホームセンター青葉", "ゴミ袋・軍手", 4204, 3960)
payment(2025, "20251130", "丸山商店", "清掃後の飲み物", 4204, 2880)
payment(2025, "20251208", "一丁目の会員宅", "香典", 4301, 5000)
payment(2025, "20251208", "花の店さくら", "供花", 4301, 11000)
payment(2025, "20260114", "郵便局", "切手代", 4102, 1700)
payment(2025, "20260206", "ひまわり文具", "クリアファイル", 4101, 946)
payment(2025, "20260305", "二丁目の会員宅", "香典", 4301, 5000)
transfer(2025, "20250515", 30000)
transfer(2025, "20260310", 30000)
receipt(2025, "20250930", "○○銀行", "定期預金利息", 2803, 96, BOUSAI)
receipt(2025, "20260331", "○○銀行", "定期預金利息", 2803, 104, BOUSAI)
receipt(2025, "20251109", "山本酒店", "防災用品のためのご寄付", 2601, 20000, BOUSAI)
payment(2025, "20250715", "ホームセンター青葉", "防災用ヘルメット（２０個）", 4601, 39600, BOUSAI)
payment(2025, "20251005", "ホームセンター青葉", "防災倉庫　南京錠交換", 4602, 2178, BOUSAI)
payment(2025, "20260120", "ホームセンター青葉", "簡易トイレ・保存水", 4601, 32780, BOUSAI)

# fiscal year 2026, entered up to early December 2026
regular_year(2026)
receipt(2026, "20260522", "○○市社会福祉協議会", "地区福祉活動助成金", 2002, 25000)
receipt(2026, "20260612", "○○市", "自治会活動補助金", 2001, 85000)
receipt(2026, "20260817", "○○銀行", "普通預金利息", 2801, 38)
receipt(2026, "20260724", "○○市", "資源回収奨励金", 2802, 4210)
receipt(2026, "20261023", "○○市", "資源回収奨励金", 2802, 4050)
payment(2026, "20260407", "ひまわり文具", "コピー用紙・ファイル", 4101, 3410)
payment(2026, "20260414", "あおば印刷", "総会資料印刷", 4001, 8800)
payment(2026, "20260419", "なかよし商店", "総会　茶菓子代", 4001, 3672)
payment(2026, "20260508", "郵便局", "切手代", 4102, 2640)
payment(2026, "20260531", "ホームセンター青葉", "ゴミ袋・軍手", 4204, 4510)
payment(2026, "20260531", "丸山商店", "清掃後の飲み物", 4204, 3240)
payment(2026, "20260619", "○○連合自治会", "連合自治会費（１１９世帯）", 4401, 23800)
payment(2026, "20260721", "青葉損害保険", "行事保険料", 4201, 3200)
payment(2026, "20260728", "おもちゃの森", "夏祭り　子ども景品", 4201, 30250)
payment(2026, "20260731", "丸山商店", "夏祭り　飲料", 4201, 33480)
payment(2026, "20260731", "丸山商店", "夏祭り　焼きそば材料", 4201, 19870)
payment(2026, "20260801", "ホームセンター青葉", "夏祭り　氷・紙皿", 4201, 8250)
payment(2026, "20260802", "みどり太鼓保存会", "夏祭り　太鼓演奏謝礼", 4201, 10000)
payment(2026, "20260819", "郵便局", "敬老会案内はがき", 4102, 3825)
payment(2026, "20260904", "青葉損害保険", "行事保険料", 4202, 1800)
payment(2026, "20260912", "いろは和菓子店", "敬老会　紅白まんじゅう", 4202, 9400)
payment(2026, "20260913", "はなまる弁当", "敬老会　弁当（４７食）", 4202, 51700)
payment(2026, "20260913", "山本酒店", "敬老会　記念品", 4202, 16450)
payment(2026, "20261016", "共同募金会", "赤い羽根共同募金", 4402, 23800)
payment(2026, "20261104", "ホームセンター青葉", "防災訓練　非常食（試食用）", 4203, 13420)
payment(2026, "20261108", "青葉損害保険", "行事保険料", 4203, 1200)
payment(2026, "20261117", "ひまわり文具", "プリンターインク", 4101, 6820)
payment(2026, "20261129", "ホームセンター青葉", "ゴミ袋・軍手", 4204, 4180)
payment(2026, "20261129", "丸山商店", "清掃後の飲み物", 4204, 2990)
payment(2026, "20260922", "五丁目の会員宅", "香典", 4301, 5000)
payment(2026, "20260922", "花の店さくら", "供花", 4301, 11000)
transfer(2026, "20260515", 30000)
receipt(2026, "20260930", "○○銀行", "定期預金利息", 2803, 112, BOUSAI)
payment(2026, "20260825", "ホームセンター青葉", "防災用担架（２台）", 4601, 18700, BOUSAI)

LAST_ENTERED = "20261209"
lines = [l for l in lines if l[2] <= LAST_ENTERED]

# --------------------------------------------------------------------------------------
# Fiscal-year settings

OFFICERS_2025 = dict(YAKUSYOKU="会長", DAIHYOSYA="山田　太郎", KAIKEI_YAKUSYOKU="会計", KAIKEI1="佐藤　花子",
                     KAIKEI2="鈴木　一郎", KANSA_YAKUSYOKU="会計監査", KANSA1="高橋　誠", KANSA2="伊藤　明美")
OFFICERS_2026 = dict(OFFICERS_2025, DAIHYOSYA="田中　健一", KANSA2="小林　恵子")


def nendo_row(year, ki, officers, yosan_date, kessan_date, kansa_date, yosan_bikou, kessan_bikou):
    row = dict(NENDO=year, KI=ki, KISYUBI="%d0401" % year, KIMATSUBI="%d0331" % (year + 1), DANTAIMEI=ORG,
               YUBIN="123-4567", JYUSYO="○○市○○町一丁目２番３号", TEL="012-345-6789", FAX=None)
    row.update(officers)
    row.update(
        NENGO_KUBUN=0,
        YOSAN_COMMENT="上記の通り" + fw(year) + "年度の収支予算を提案します。",
        YOSAN_HIZUKE=yosan_date,
        YOSAN_SYOMEI=ORG,
        YOSAN_COMMENT_KUBUN=1,
        KESSAN_COMMENT="上記の通り" + fw(year) + "年度の収支決算を報告します。",
        KESSAN_HIZUKE=kessan_date,
        KESSAN_SYOMEI=ORG,
        KESSAN_SYOMEI_KUBUN1=1,
        KESSAN_SYOMEI_KUBUN2=1,
        KESSAN_SYOMEI_KUBUN3=1 if officers.get("KAIKEI2") else 0,
        KANSA_COMMENT="会計監査の結果、上記の通り相違ないことを報告します。",
        KANSA_HIZUKE=kansa_date,
        KANSA_SYOMEI_KUBUN1=1,
        KANSA_SYOMEI_KUBUN2=1 if officers.get("KANSA2") else 0,
        YOSAN_BIKOU=yosan_bikou,
        KESSAN_BIKOU=kessan_bikou,
        YOSANSYO_SYOKICHI=None,
        KESSANSYO_SYOKICHI=None,
        YOSAN_YAKUSYOKU=officers["YAKUSYOKU"],
        YOSAN_DAIHYOSYA=officers["DAIHYOSYA"],
        YOSAN_KAIKEI_YAKUSYOKU=officers["KAIKEI_YAKUSYOKU"],
        YOSAN_KAIKEI1=officers["KAIKEI1"],
        YOSAN_KAIKEI2=officers["KAIKEI2"],
        YOSAN_ZERO_PRINT=1,
        KESSAN_ZERO_PRINT=1,
        KESSAN_ZANDAKA_PRINT=0,
        YOSAN_GRAPH_PRINT=1,
        KESSAN_GRAPH_PRINT=1,
    )
    return row


NENDO = [
    nendo_row(2025, 41, OFFICERS_2025, " ２０２５ 年 ４ 月 ２０ 日", " ２０２６ 年 ３ 月 ３１ 日",
              " ２０２６ 年 ４ 月 １１ 日", "会費は１世帯あたり月額３００円です。",
              "防災積立会計の資金は○○銀行の定期預金で保管しています。"),
    nendo_row(2026, 42, OFFICERS_2026, " ２０２６ 年 ４ 月 １９ 日", " ２０２７ 年 ３ 月 ３１ 日",
              " ２０２７ 年    月    日", "会費は１世帯あたり月額３００円です。", None),
]
NENDO_COLUMNS = [
    "NENDO", "KI", "KISYUBI", "KIMATSUBI", "DANTAIMEI", "YAKUSYOKU", "DAIHYOSYA", "YUBIN", "JYUSYO", "TEL",
    "FAX", "KAIKEI_YAKUSYOKU", "KAIKEI1", "KAIKEI2", "KANSA_YAKUSYOKU", "KANSA1", "KANSA2", "NENGO_KUBUN",
    "YOSAN_COMMENT", "YOSAN_HIZUKE", "YOSAN_SYOMEI", "YOSAN_COMMENT_KUBUN", "KESSAN_COMMENT",
    "KESSAN_HIZUKE", "KESSAN_SYOMEI", "KESSAN_SYOMEI_KUBUN1", "KESSAN_SYOMEI_KUBUN2",
    "KESSAN_SYOMEI_KUBUN3", "KANSA_COMMENT", "KANSA_HIZUKE", "KANSA_SYOMEI_KUBUN1", "KANSA_SYOMEI_KUBUN2",
    "YOSAN_BIKOU", "KESSAN_BIKOU", "YOSANSYO_SYOKICHI", "KESSANSYO_SYOKICHI", "YOSAN_YAKUSYOKU",
    "YOSAN_DAIHYOSYA", "YOSAN_KAIKEI_YAKUSYOKU", "YOSAN_KAIKEI1", "YOSAN_KAIKEI2", "YOSAN_ZERO_PRINT",
    "KESSAN_ZERO_PRINT", "KESSAN_ZANDAKA_PRINT", "YOSAN_GRAPH_PRINT", "KESSAN_GRAPH_PRINT",
]

# --------------------------------------------------------------------------------------
# Budgets. For each year and division: item -> (amount, description). Item 100 and the
# reserve fund are computed; None is an empty amount.

BUDGET = {
    (2025, GENERAL): {
        1001: (428400, "３００円×１２か月×１１９世帯"),
        1002: (59500, "夏祭り協賛　５００円×１１９世帯"),
        2001: (110000, "活動補助金・防犯灯補助金"),
        2002: (25000, "敬老会への助成"),
        2601: (None, None),
        2801: (50, None),
        2802: (12000, "資源回収奨励金"),
        4001: (15000, "総会資料・茶菓子"),
        4002: (24000, "役員会　月１回"),
        4101: (20000, None),
        4102: (8000, None),
        4103: (30000, "自治会だより　年４回"),
        4201: (150000, "８月２日開催"),
        4202: (90000, "９月１４日開催"),
        4203: (25000, "１１月９日開催"),
        4204: (15000, "６月・１１月"),
        4205: (40000, "１０月１２日開催"),
        4301: (30000, None),
        4401: (23800, "２００円×１１９世帯"),
        4402: (23800, "２００円×１１９世帯"),
        4501: (60000, "防犯灯３８基"),
        4502: (30000, None),
        6001: (60000, "防災積立会計へ"),
        CARRY_OUT: (250000, None),
    },
    (2025, BOUSAI): {
        FROM_GENERAL: (60000, "一般会計より"),
        TO_GENERAL: (None, None),
        2803: (200, None),
        4601: (80000, "ヘルメット・簡易トイレ等"),
        4602: (10000, None),
        CARRY_OUT: (350000, None),
    },
    (2026, GENERAL): {
        1001: (428400, "３００円×１２か月×１１９世帯"),
        1002: (59500, "夏祭り協賛　５００円×１１９世帯"),
        2001: (110000, "活動補助金・防犯灯補助金"),
        2002: (25000, "敬老会への助成"),
        2601: (None, None),
        2801: (50, None),
        2802: (15000, "資源回収奨励金"),
        4001: (15000, "総会資料・茶菓子"),
        4002: (24000, "役員会　月１回"),
        4101: (20000, None),
        4102: (8000, None),
        4103: (30000, "自治会だより　年４回"),
        4201: (150000, "８月１日開催"),
        4202: (95000, "９月１３日開催"),
        4203: (25000, "１１月８日開催"),
        4204: (15000, "５月・１１月"),
        4206: (30000, "５月より毎月開催"),
        4301: (30000, None),
        4401: (23800, "２００円×１１９世帯"),
        4402: (23800, "２００円×１１９世帯"),
        4501: (61000, "防犯灯３８基"),
        4502: (20000, None),
        6001: (60000, "防災積立会計へ"),
        CARRY_OUT: (350000, None),
    },
    (2026, BOUSAI): {
        FROM_GENERAL: (60000, "一般会計より"),
        TO_GENERAL: (None, None),
        2803: (200, None),
        4601: (60000, "担架・発電機用燃料等"),
        4602: (10000, None),
        CARRY_OUT: (380000, None),
    },
}

# What the treasurer typed as the 2024 comparison figures when the association began
# using the program in 2025: item -> (budget 2024, settlement 2024). Item 100 is the
# carry-over into 2024 in both columns; the 2024 budgeted carry-over to 2025 stands at
# 8000. The reserve fund and the settled carry-over are computed.
FIGURES_2024 = {
    GENERAL: {
        CARRY_IN: (298000, 298000),
        1001: (428400, 425100), 1002: (59500, 58000), 2001: (110000, 110000), 2002: (25000, 25000),
        2801: (50, 18), 2802: (10000, 14620), 4001: (15000, 12860), 4002: (24000, 21540),
        4101: (20000, 16983), 4102: (8000, 6420), 4103: (30000, 28600), 4201: (150000, 146328),
        4202: (90000, 87450), 4203: (25000, 21876), 4204: (15000, 12340), 4205: (40000, 38915),
        4301: (30000, 25000), 4401: (23800, 23800), 4402: (23800, 23800), 4501: (60000, 55872),
        4502: (30000, 16500), 6001: (60000, 60000),
        CARRY_OUT: (250000, None),
    },
    BOUSAI: {
        CARRY_IN: (380000, 380000),
        FROM_GENERAL: (60000, 60000), 2803: (200, 120), 4601: (50000, 38500), 4602: (10000, None),
        CARRY_OUT: (370000, None),
    },
}

# Descriptions printed on the 2025 settlement statement.
KESSAN_TEKIYO_2025 = {
    (GENERAL, 1001): "３００円×１２か月　約１２０世帯",
    (GENERAL, 2001): "活動補助金・防犯灯補助金",
    (GENERAL, 2601): "敬老会へのご寄付",
    (GENERAL, 4201): "８月２日開催",
    (GENERAL, 4202): "９月１４日開催　参加４５名",
    (GENERAL, 4205): "最終開催",
    (GENERAL, 4502): "ＬＥＤ交換２基",
    (BOUSAI, 2601): "防災用品のためのご寄付",
    (BOUSAI, 4601): "ヘルメット・簡易トイレ・保存水",
}


def signed(item, receipts, payments):
    """A line's net as the settlement shows it: receipts minus payments on receipts
    items, payments minus receipts on payments items."""
    net = (receipts or 0) - (payments or 0)
    return net if KIND[item] == 1 else -net


def balance_row(rows, column):
    """Receipts minus every payment except the reserve fund, over one column."""
    total = 0
    for item, row in rows.items():
        if item != RESERVE and row.get(column) is not None:
            total += row[column] if KIND[item] == 1 else -row[column]
    return total


def budget_rows_2025(division):
    rows = {}
    typed = BUDGET[(2025, division)]
    prev = FIGURES_2024[division]
    for item in set(typed) | set(prev) | {CARRY_IN, RESERVE, CARRY_OUT}:
        amount, tekiyo = typed.get(item, (None, None))
        zy, zk = prev.get(item, (None, None))
        rows[item] = dict(YOSAN=amount, ZENNEN_YOSAN=zy, ZENNEN_KESSAN=zk, TEKIYO=tekiyo)
    # the settled 2024 balance: carry-in plus receipts minus payments of 2024
    carried = balance_row({i: r for i, r in rows.items() if i != CARRY_OUT}, "ZENNEN_KESSAN")
    rows[CARRY_IN]["YOSAN"] = carried
    rows[CARRY_OUT]["ZENNEN_KESSAN"] = carried
    rows[CARRY_IN]["TEKIYO"] = "前年度より繰越"
    return rows


def journal_sums(year):
    sums = {}
    for y, division, _, _, _, item, inc, out in numbered:
        if y == year:
            r, p = sums.get((division, item), (0, 0))
            sums[(division, item)] = (r + (inc or 0), p + (out or 0))
    return sums


def budget_rows_2026(division, rows2025, sums2025):
    """The 2026 budget as the budget window leaves it after the import of 2025."""
    rows = {}

    def row(item):
        return rows.setdefault(item, dict(YOSAN=None, ZENNEN_YOSAN=None, ZENNEN_KESSAN=None, TEKIYO=None))

    for item, (amount, tekiyo) in BUDGET[(2026, division)].items():
        row(item).update(YOSAN=amount, TEKIYO=tekiyo)
    for item in (CARRY_IN, RESERVE, CARRY_OUT):
        row(item)
    # the import: last year's non-zero budget and settlement figures
    for item, prev in rows2025.items():
        if prev["YOSAN"]:
            row(item)["ZENNEN_YOSAN"] = prev["YOSAN"]
            if item == CARRY_IN:
                row(item)["ZENNEN_KESSAN"] = prev["YOSAN"]
    for (div, item), (r, p) in sums2025.items():
        if div == division and signed(item, r, p):
            row(item)["ZENNEN_KESSAN"] = signed(item, r, p)
    carried = balance_row({i: r for i, r in rows.items() if i != CARRY_OUT}, "ZENNEN_KESSAN")
    rows[CARRY_OUT]["ZENNEN_KESSAN"] = carried
    rows[CARRY_IN]["YOSAN"] = carried
    rows[CARRY_IN]["TEKIYO"] = "前年度より繰越"
    return rows


def settle_reserve(rows):
    """The reserve fund takes up what the receipts leave after every other payment,
    in this year's budget and in last year's."""
    rows[RESERVE]["YOSAN"] = balance_row(rows, "YOSAN")
    rows[RESERVE]["ZENNEN_YOSAN"] = balance_row(rows, "ZENNEN_YOSAN")


# --------------------------------------------------------------------------------------
# Numbering: lines in date order as they were entered; a transfer gets its mirrored half
# in the reserve account under the same line number.

lines.sort(key=lambda l: (l[2], l[1], l[5]))
numbered_seq = []  # (seq, division, year, date, aite, tekiyo, item, receipt, payment)
for seq, (year, division, date, aite, tekiyo, item, inc, out) in enumerate(lines, start=1):
    numbered_seq.append((seq, division, year, date, aite, tekiyo, item, inc, out))
    if item == TRANSFER_ITEM:
        numbered_seq.append((seq, BOUSAI, year, date, aite, tekiyo, FROM_GENERAL, out, inc))
numbered = [(y, dv, dt, a, t, i, r, p) for (_, dv, y, dt, a, t, i, r, p) in numbered_seq]

sums2025 = journal_sums(2025)
YOSAN = {}
for division in (GENERAL, BOUSAI):
    YOSAN[(2025, division)] = budget_rows_2025(division)
    settle_reserve(YOSAN[(2025, division)])
for division in (GENERAL, BOUSAI):
    rows = budget_rows_2026(division, YOSAN[(2025, division)], sums2025)
    imported = rows[RESERVE]["ZENNEN_YOSAN"]  # last year's reserve fund, as the import brings it
    settle_reserve(rows)
    assert rows[RESERVE]["ZENNEN_YOSAN"] == imported, division
    YOSAN[(2026, division)] = rows

# The 2025 settlement lines: every budget line, every journal item, the carry-over.
KESSAN = {}
for division in (GENERAL, BOUSAI):
    items = set(YOSAN[(2025, division)]) | {i for (dv, i) in sums2025 if dv == division} | {CARRY_OUT}
    for item in items:
        KESSAN[(2025, division, item)] = KESSAN_TEKIYO_2025.get((division, item))

# The dues ledger (会費台帳) of 2026: the households of each 班 as the journal's dues
# lines count them, and one payment per household and month that line booked (the
# 班長 handed the 班's dues over), so the ledger and the journal agree.
SURNAMES = [("佐藤", "さとう"), ("鈴木", "すずき"), ("高橋", "たかはし"), ("田中", "たなか"), ("伊藤", "いとう"),
            ("渡辺", "わたなべ"), ("山本", "やまもと"), ("中村", "なかむら"), ("小林", "こばやし"), ("加藤", "かとう"),
            ("吉田", "よしだ"), ("山田", "やまだ"), ("佐々木", "ささき"), ("山口", "やまぐち"), ("松本", "まつもと"),
            ("井上", "いのうえ"), ("木村", "きむら"), ("林", "はやし"), ("斎藤", "さいとう"), ("清水", "しみず"),
            ("山崎", "やまざき"), ("森", "もり"), ("池田", "いけだ"), ("橋本", "はしもと"), ("阿部", "あべ"),
            ("石川", "いしかわ"), ("山下", "やました"), ("中島", "なかじま"), ("石井", "いしい"), ("小川", "おがわ"),
            ("前田", "まえだ"), ("岡田", "おかだ"), ("長谷川", "はせがわ"), ("藤田", "ふじた"), ("後藤", "ごとう"),
            ("近藤", "こんどう"), ("村上", "むらかみ"), ("遠藤", "えんどう"), ("青木", "あおき"), ("坂本", "さかもと")]
GIVEN = ["健一", "和子", "誠", "裕子", "隆", "恵子", "博", "由美", "茂", "直子", "正人", "久美子", "浩二", "幸子",
         "進", "洋子", "明", "節子", "勝", "京子"]
KAIHI_SYURUI = [(2026, 1, "一般会費", 1, DUES, GENERAL, 1001), (2026, 2, "夏祭り協賛", 0, FESTIVAL_DUES, GENERAL, 1002)]

SETAI = []  # (code, name, reading, 班, joined, left)
for han in range(1, 7):
    for k in range(households(han, 2025, 4)):
        SETAI.append([len(SETAI) + 1, None, None, han, "%04d0401" % (2000 + (len(SETAI) * 7) % 25), None])
    if han == 2:
        SETAI.append([len(SETAI) + 1, None, None, han, "20251001", None])  # moved in
    if han == 5:
        SETAI[-1][5] = "20251231"  # moved away
    if han == 3:
        SETAI.append([len(SETAI) + 1, None, None, han, "20260701", None])  # the new flats
        SETAI.append([len(SETAI) + 1, None, None, han, "20260701", None])
for row in SETAI:
    surname, reading = SURNAMES[(row[0] * 13) % len(SURNAMES)]
    row[1] = surname + " " + GIVEN[(row[0] * 7 + row[0] // len(SURNAMES)) % len(GIVEN)]  # no two alike
    row[2] = reading
HANCYO = {han: next(r[1] for r in SETAI if r[3] == han) for han in range(1, 7)}
# A household on long-term care leave, exempted from the monthly dues from January.
KAIHI_MENJYO = [(2026, 12, 1, "202701", "202703", "長期入院のため")]


def member_in(row, y, m):
    first, last = "%04d%02d01" % (y, m), "%04d%02d31" % (y, m)
    return row[4] <= last and (row[5] is None or row[5] >= first)


KAIHI_NOUFU = []  # (no, year, household, kind, date, months flags, amount, 班, journal line)
for seq, division, year, date, aite, tekiyo, item, inc, out_ in numbered_seq:
    if year != 2026 or item not in (1001, 1002):
        continue
    han = int(aite[0].translate(str.maketrans("１２３４５６", "123456")))
    y, m = int(date[:4]), int(date[4:6])
    members = [r for r in SETAI if r[3] == han and member_in(r, y, m)]
    kind, amount = (1, DUES) if item == 1001 else (2, FESTIVAL_DUES)
    assert len(members) * amount == inc, (date, han)
    flags = "".join("1" if (kind == 1 and i == m) else "0" for i in range(1, 13))
    for r in members:
        KAIHI_NOUFU.append((len(KAIHI_NOUFU) + 1, year, r[0], kind, date, flags, amount, han, seq))

# Where each division's money was at the 2025 year-end: the places add up to the
# book balance (every line of the year counts; all items are on the statements).
def book_balance_2025(division):
    return YOSAN[(2025, division)][CARRY_IN]["YOSAN"] + sum(
        (r - p) for (dv, _), (r, p) in sums2025.items() if dv == division)


ZANDAKA_2025 = {
    (GENERAL, 1): ("現金（手提げ金庫）", 18640),
    (GENERAL, 2): ("○○銀行 ○○支店 普通 1234567", book_balance_2025(GENERAL) - 18640),
    (BOUSAI, 1): ("○○銀行 ○○支店 定期預金 7654321", 300000),
    (BOUSAI, 2): ("○○銀行 ○○支店 普通 2345678", book_balance_2025(BOUSAI) - 300000),
}


# --------------------------------------------------------------------------------------
# Checks on the data itself, before anything is written

def check():
    kana = re.compile(r"^[ぁ-ゖー０-９Ａ-Ｚ]+$")
    for text, reading in list(TEKIYO.items()) + list(AITE.items()):
        assert kana.match(reading), reading
    assert all(len(t) <= 50 and len(r) <= 10 for t, r in TEKIYO.items())
    assert all(len(a) <= 10 and len(r) <= 20 for a, r in AITE.items())
    used_aite = {l[3] for l in numbered}
    used_tekiyo = {l[4] for l in numbered}
    assert set(AITE) <= used_aite, set(AITE) - used_aite
    assert set(TEKIYO) <= used_tekiyo, set(TEKIYO) - used_tekiyo
    for year, division, date, aite, tekiyo, item, inc, out in numbered:
        assert "%d0401" % year <= date <= "%d0331" % (year + 1), (year, date)
        assert aite is None or len(aite) <= 10, aite
        assert len(tekiyo) <= 50, tekiyo
        assert (inc is None) != (out is None)
        assert valid(item, year), (item, year)
        assert item not in (CARRY_IN, CARRY_OUT, RESERVE)
        assert division == BOUSAI or item not in SPECIAL_ONLY, item
    for code, name, *_ in KAMOKU:
        assert len(name) <= 15, name
    for (year, division), rows in YOSAN.items():
        assert division == BOUSAI or not SPECIAL_ONLY & set(rows), (year, division)
        for item, row in rows.items():
            assert row["TEKIYO"] is None or len(row["TEKIYO"]) <= 30, row["TEKIYO"]
        receipts = sum(r["YOSAN"] or 0 for i, r in rows.items() if KIND[i] == 1)
        payments = sum(r["YOSAN"] or 0 for i, r in rows.items() if KIND[i] == 2)
        assert receipts == payments, (year, division)
        assert rows[RESERVE]["YOSAN"] >= 0, (year, division, rows[RESERVE]["YOSAN"])
    for row in NENDO:
        for column, length in (("YOSAN_COMMENT", 60), ("YOSAN_HIZUKE", 20), ("KESSAN_COMMENT", 60),
                               ("KESSAN_HIZUKE", 20), ("KANSA_COMMENT", 60), ("KANSA_HIZUKE", 20),
                               ("YOSAN_BIKOU", 60), ("KESSAN_BIKOU", 60), ("JYUSYO", 30)):
            assert row[column] is None or len(row[column]) <= length, (column, row[column])
    # the settled 2025 balance of each division is the 2026 carry-over
    for division in (GENERAL, BOUSAI):
        final = YOSAN[(2025, division)][CARRY_IN]["YOSAN"] + sum(
            (r - p) for (dv, _), (r, p) in sums2025.items() if dv == division)
        assert final == YOSAN[(2026, division)][CARRY_IN]["YOSAN"], division


# --------------------------------------------------------------------------------------
# Output

def sql(value):
    if value is None:
        return "null"
    if isinstance(value, int):
        return str(value)
    assert ":" not in value and ";" not in value  # keeps every statement free of parameters
    return "'" + value.replace("'", "''") + "'"


def insert(table, columns, values):
    return "insert into %s (%s) values (%s);" % (table, ", ".join(columns), ", ".join(sql(v) for v in values))


def render():
    out = []
    w = out.append
    w("-- The sample organisation ○○○○自治会: chart of accounts, a disaster-reserve special")
    w("-- account, two fiscal years of journal lines, saved budgets and the 2025 settlement.")
    w("-- Generated by make_sample.py in this folder; edit that file and run")
    w("--   python3 orgdb/make_sample.py")
    w("-- instead of editing this one. Runs on a copy of the empty organisation database.")
    w("")
    w("update KANRI set DANTAIMEI = %s, PASS_WD = '', NENDO = 2026 where (KY = 1);" % sql(ORG))
    w("")
    w("insert into KAIKEI_KUBUN (CD, MEISYO, KAISI_NENDO, SYURYO_NENDO) values (1, '防災積立会計', null, null);")
    w("")
    w("-- Classifications")
    for cd, name, kind, order in BUNRUI:
        w(insert("BUNRUI", ["CD", "MEISYO", "SYUSI_KUBUN", "KESSANSYO_KUBUN", "JUNJYO", "SAKUJYO_FUKA",
                            "TOKUBETSU_KAIKEI"], [cd, name, kind, 1, order, 0, 0]))
    w("")
    w("-- Account items")
    for cd, name, bunrui, start, end, order, division in KAMOKU:
        w(insert("KAMOKU", ["CD", "MEISYO", "BUNRUI", "KAISI_NENDO", "SYURYO_NENDO", "JUNJYO", "SAKUJYO_FUKA",
                            "TOKUBETSU_CD"], [cd, name, bunrui, start, end, order, 0, division]))
    w("")
    w("-- Stored descriptions and counterparties")
    for text, reading in TEKIYO.items():
        w(insert("TEKIYO", ["MEISYO", "KENSAKU_MOJI"], [text, reading]))
    for name, reading in AITE.items():
        w(insert("AITE", ["MEISYO", "FURIGANA"], [name, reading]))
    w("")
    w("-- Fiscal years")
    for row in NENDO:
        w(insert("NENDO", NENDO_COLUMNS, [row[c] for c in NENDO_COLUMNS]))
    w("")
    w("-- Journal lines")
    for seq, division, year, date, aite, tekiyo, item, inc, out_ in numbered_seq:
        w(insert("MEISAI", ["SEQ_NO", "KAIKEI_KUBUN", "NENDO", "HIZUKE", "AITE", "TEKIYO", "KAMOKU", "SYUNYU",
                            "SISYUTSU"], [seq, division, year, date, aite, tekiyo, item, inc, out_]))
    w("")
    w("-- Budgets")
    for (year, division), rows in sorted(YOSAN.items()):
        for item in sorted(rows):
            r = rows[item]
            w(insert("YOSAN", ["NENDO", "KAIKEI_KUBUN", "KAMOKU", "JUNJYO", "YOSAN", "ZENNEN_YOSAN",
                               "ZENNEN_KESSAN", "TEKIYO"],
                     [year, division, item, 99, r["YOSAN"], r["ZENNEN_YOSAN"], r["ZENNEN_KESSAN"], r["TEKIYO"]]))
    w("")
    w("-- The 2025 settlement")
    for (year, division, item), tekiyo in sorted(KESSAN.items()):
        w(insert("KESSAN", ["NENDO", "KAIKEI_KUBUN", "KAMOKU", "JUNJYO", "TEKIYO"], [year, division, item, 99, tekiyo]))
    w("")
    w("-- Where the money was at the 2025 year-end (残高内訳), as the auditors found it")
    for (division, junjyo), (place, amount) in sorted(ZANDAKA_2025.items()):
        w(insert("ZANDAKA_UCHIWAKE", ["NENDO", "SIMEBI", "KAIKEI_KUBUN", "JUNJYO", "BASYO", "KINGAKU"],
                 [2025, "", division, junjyo, place, amount]))
    w("")
    w("-- The dues ledger of 2026: 班, households, kinds of dues, an exemption, the payments")
    for han in range(1, 7):
        w(insert("HAN", ["HAN_CD", "MEISYO", "HANCYO", "JUNJYO"], [han, fw(han) + "班", HANCYO[han], han]))
    for code, name, reading, han, joined, left in SETAI:
        w(insert("SETAI", ["SETAI_CD", "MEISYO", "FURIGANA", "NYUKAI_BI", "TAIKAI_BI"],
                 [code, name, reading, joined, left]))
        w(insert("SETAI_HAN", ["SETAI_CD", "KAISI_BI", "HAN_CD"], [code, joined, han]))
    for row in KAIHI_SYURUI:
        w(insert("KAIHI_SYURUI", ["NENDO", "SYURUI_CD", "MEISYO", "TSUKI_KUBUN", "KINGAKU", "KAIKEI_KUBUN", "KAMOKU"],
                 list(row)))
    for row in KAIHI_MENJYO:
        w(insert("KAIHI_MENJYO", ["NENDO", "SETAI_CD", "SYURUI_CD", "KAISI_TSUKI", "SYURYO_TSUKI", "RIYU"], list(row)))
    for row in KAIHI_NOUFU:
        w(insert("KAIHI_NOUFU", ["NOUFU_NO", "NENDO", "SETAI_CD", "SYURUI_CD", "HIZUKE", "TSUKI", "KINGAKU", "HAN_CD",
                                 "SEQ_NO"], list(row)))
    w("alter sequence SEQ_KAIHI_NOUFU restart with %d;" % len(KAIHI_NOUFU))
    w("")
    w("-- Line numbers go on above the sample's lines")
    w("alter sequence SEQ_MEISAI restart with %d;" % max(l[0] for l in numbered_seq))
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    check()
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.sql")
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write(render())
    print("%s: %d journal lines" % (target, len(numbered_seq)), file=sys.stderr)
