// template_build FILE...: writes each named workbook template, choosing the
// layout by the file's name. Each file is written beside its target and
// renamed into place only when complete, so a failed build leaves no
// half-written template behind.

#include "templates/KessansyoLayouts.h"
#include "templates/Layouts.h"

#include <filesystem>
#include <functional>
#include <iostream>
#include <stdexcept>

namespace {

using Writer = std::function<void(templates::TemplateBook&)>;

Writer LayoutFor(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    for (const templates::Layout& layout : templates::kLayouts) {
        if (layout.fileName == name)
            return layout.write;
    }
    const std::string stem = file.stem().string();
    const templates::yosansyo::Layout* statement = templates::yosansyo::FindLayout(stem);
    if (!statement)
        statement = templates::kessansyo::FindLayout(stem);
    if (statement)
        return [statement](templates::TemplateBook& book) { templates::WriteYosansyo(book, *statement); };
    throw std::runtime_error("no layout for " + name);
}

void Build(const std::filesystem::path& file) {
    const Writer write = LayoutFor(file);
    std::filesystem::create_directories(file.parent_path());
    const std::filesystem::path part = file.string() + ".part.xlsx";
    try {
        {
            templates::TemplateBook book(part.string());
            write(book);
            book.Close();
        }
        // A form the user opens as it is stays an ordinary workbook.
        if (file.extension() == ".xltx")
            templates::MarkAsTemplate(part.string());
        std::filesystem::rename(part, file);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        throw;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: template_build FILE...\n";
        return 2;
    }
    try {
        for (int i = 1; i < argc; ++i)
            Build(argv[i]);
    } catch (const std::exception& e) {
        std::cerr << "template_build: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
