#include "startwindow.h"

#include <QLabel>

StartWindow::StartWindow(const QString &collectionName, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(tr("Brimlow Tunebase"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tunebase.svg")));
    auto *label = new QLabel(tr("Collection: %1").arg(collectionName), this);
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
    resize(640, 400);
}
