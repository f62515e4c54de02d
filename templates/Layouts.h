#pragma once
// The workbook templates installed in Template/ beside the program, one
// function per layout. Each writes the cells and rows its report module fills
// at the addresses that module uses, and the totals the template carries
// itself. Totals span the template's detail rows so that the rows a report
// inserts below the second detail row are counted too.

#include "templates/TemplateBook.h"
#include "templates/YosansyoLayouts.h"

#include <string_view>

namespace templates {

// 収支明細書: the journal listing.
void WriteSyusiMeisaisyo(TemplateBook& book);
// 月別集計表: the monthly summary.
void WriteTsukibetsuSyukeihyo(TemplateBook& book);
// 会費徴収一覧: a 班's households by month for one kind of dues.
void WriteKaihiCyosyuIchiran(TemplateBook& book);
// 未納一覧: who still owes dues. 班別世帯数: the households of each 班 on a day.
void WriteKaihiMinouIchiran(TemplateBook& book);
void WriteHanbetsuSetaisu(TemplateBook& book);
// 領収書: one slip of the receipts for payments of dues.
void WriteKaihiRyosyusyo(TemplateBook& book);
// 科目分類／科目登録用紙: the blank planning form, an ordinary workbook.
void WriteTorokuYousi(TemplateBook& book);
// 残高照合表: the books against the places the money is held, for the audit.
void WriteZandakaSyogohyo(TemplateBook& book);
// The budget and settlement statements, one per row of yosansyo::kLayouts (file <name>.xltx).
void WriteYosansyo(TemplateBook& book, const yosansyo::Layout& layout);

struct Layout {
    std::string_view fileName;  // in Template/
    void (*write)(TemplateBook& book);
};

inline constexpr Layout kLayouts[] = {
    {"収支明細書.xltx", &WriteSyusiMeisaisyo},
    {"月別集計表.xltx", &WriteTsukibetsuSyukeihyo},
    {"会費徴収一覧.xltx", &WriteKaihiCyosyuIchiran},
    {"未納一覧.xltx", &WriteKaihiMinouIchiran},
    {"班別世帯数.xltx", &WriteHanbetsuSetaisu},
    {"領収書.xltx", &WriteKaihiRyosyusyo},
    {"科目分類／科目登録用紙.xlsx", &WriteTorokuYousi},
    {"残高照合表.xltx", &WriteZandakaSyogohyo},
};

}  // namespace templates
