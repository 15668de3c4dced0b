#pragma once

#include <QGroupBox>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

// A titled group of radio buttons addressed by item index.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(const QString &title, QWidget *parent = nullptr);

    QRadioButton *AddItem(const QString &caption);
    int Count() const;
    // -1 when no item is chosen.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton *Item(int index) const;

private:
    QButtonGroup *m_buttons;
    QVBoxLayout *m_layout;
};
