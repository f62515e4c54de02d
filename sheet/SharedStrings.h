#pragma once
// The shared string table (sharedStrings.xml): texts by index, plain texts
// added once and reused.

#include <QHash>
#include <QString>
#include <pugixml.hpp>
#include <vector>

namespace sheet {

class SharedStrings {
  public:
    SharedStrings() = default;
    explicit SharedStrings(pugi::xml_node sst);

    QString At(int index) const;
    int Add(const QString& text);
    bool IsEmpty() const { return texts_.empty(); }
    // Brings the count attributes up to date before saving.
    void UpdateCounts();

  private:
    pugi::xml_node sst_;
    std::vector<QString> texts_;
    QHash<QString, int> plain_;
};

// The text of a <si> or <is> element: its <t>, or the <t> of every run.
QString StringItemText(pugi::xml_node item);

}  // namespace sheet
