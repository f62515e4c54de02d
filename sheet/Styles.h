#pragma once
// Cell formats of styles.xml: deriving a format from an existing one with one
// change, reusing an identical entry when the book already has it.

#include <QString>
#include <functional>
#include <pugixml.hpp>

namespace sheet {

class Styles {
  public:
    explicit Styles(pugi::xml_node styleSheet) : root_(styleSheet) {}

    // Each returns the cellXfs index of format `xf` with the change applied.
    int WithHorizontalAlignment(int xf, const char* horizontal);  // nullptr: general
    int WithFontName(int xf, const QString& name);
    int WithoutVerticalEdges(int xf, bool left, bool right);
    int WithShrinkToFit(int xf, bool shrink);
    // The figures shown in number format `code` ("#,##0\"円\""), added to the book's formats when new.
    int WithNumberFormat(int xf, const QString& code);
    int WithBold(int xf);

    // The font name of format `xf` (empty when the book has no fonts).
    QString FontName(int xf) const;

  private:
    using Edit = std::function<void(pugi::xml_node)>;
    // A copy of entry `index` of the list `list` (children `item`), edited, as an index into that list.
    int Derive(const char* list, const char* item, int index, const Edit& edit);
    int DeriveXf(int xf, const Edit& edit) { return Derive("cellXfs", "xf", xf, edit); }
    pugi::xml_node Entry(const char* list, const char* item, int index) const;

    pugi::xml_node root_;
};

}  // namespace sheet
