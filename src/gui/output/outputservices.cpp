#include "gui/output/outputservices.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class TDesktopOutputServices final : public TOutputServices {
public:
    bool HasPrinter() override { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

    bool ChoosePrinter(QPrinter &printer, int pageCount, QWidget *owner) override
    {
        QPrintDialog dialog(&printer, owner);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setMinMax(1, std::max(pageCount, 1));
        dialog.setFromTo(1, std::max(pageCount, 1));
        return dialog.exec() == QDialog::Accepted;
    }

    QString ChooseSaveFile(QWidget *owner, const QString &title, const QString &startPath, const QString &filter,
                           const QString &defaultSuffix) override
    {
        QFileDialog dialog(owner, title, startPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

TOutputServices *installed = nullptr;

} // namespace

void SetOutputServices(TOutputServices *services)
{
    installed = services;
}

TOutputServices &OutputServices()
{
    static TDesktopOutputServices desktop;
    return installed ? *installed : desktop;
}
