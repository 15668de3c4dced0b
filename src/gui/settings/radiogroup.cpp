#include "gui/settings/radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString &title, QWidget *parent)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this)), m_layout(new QVBoxLayout(this))
{
}

QRadioButton *TRadioGroup::AddItem(const QString &caption)
{
    auto *button = new QRadioButton(caption, this);
    m_buttons->addButton(button, Count());
    m_layout->addWidget(button);
    return button;
}

int TRadioGroup::Count() const
{
    return int(m_buttons->buttons().size());
}

int TRadioGroup::ItemIndex() const
{
    return m_buttons->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton *button = m_buttons->button(index))
        button->setChecked(true);
}

QRadioButton *TRadioGroup::Item(int index) const
{
    return qobject_cast<QRadioButton *>(m_buttons->button(index));
}
