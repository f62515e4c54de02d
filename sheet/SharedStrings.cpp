#include "sheet/SharedStrings.h"

#include "sheet/Package.h"

namespace sheet {

QString StringItemText(pugi::xml_node item) {
    if (pugi::xml_node t = item.child("t"))
        return Text(t.text().get());
    QString text;
    for (pugi::xml_node run : item.children("r"))
        text += Text(run.child("t").text().get());
    return text;
}

SharedStrings::SharedStrings(pugi::xml_node sst) : sst_(sst) {
    for (pugi::xml_node si : sst.children("si")) {
        texts_.push_back(StringItemText(si));
        if (si.child("t") && !plain_.contains(texts_.back()))
            plain_.insert(texts_.back(), int(texts_.size()) - 1);
    }
}

QString SharedStrings::At(int index) const {
    return index >= 0 && index < int(texts_.size()) ? texts_[size_t(index)] : QString();
}

int SharedStrings::Add(const QString& text) {
    if (auto it = plain_.constFind(text); it != plain_.constEnd())
        return *it;
    pugi::xml_node t = sst_.append_child("si").append_child("t");
    if (text != text.trimmed() || text.contains(u'\n'))
        t.append_attribute("xml:space").set_value("preserve");
    t.text().set(Utf8(text).constData());
    texts_.push_back(text);
    const int index = int(texts_.size()) - 1;
    plain_.insert(text, index);
    return index;
}

void SharedStrings::UpdateCounts() {
    if (!sst_)
        return;
    // The total use count is optional; a stale one is worse than none.
    sst_.remove_attribute("count");
    sst_.remove_attribute("uniqueCount");
    sst_.append_attribute("uniqueCount").set_value(static_cast<unsigned long long>(texts_.size()));
}

}  // namespace sheet
