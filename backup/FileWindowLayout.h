#pragma once
// The layout the backup and restore windows share: the organisation's name in a
// large panel, a line of explanation and the window's fields on the left, 実 行 and
// 閉じる on the right. The buttons take no focus by Tab, so that Tab moves between
// the fields only.

class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

struct FileWindowParts {
    QLabel* namePanel;
    QLabel* explanation;
    QGridLayout* fields;
    QPushButton* browse;  // 参照
    QPushButton* run;     // 実 行
    QPushButton* close;   // 閉じる
};

void LayOutFileWindow(QWidget& window, const FileWindowParts& parts);
