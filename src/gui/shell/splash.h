#pragma once

#include <QWidget>

// The borderless picture shown while the main window is being created.
class TfmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfmSplash(QWidget *parent = nullptr);
    // Shows the window centred on the screen and paints it at once.
    void ShowNow();
    // A message during start-up must not sit behind the splash window.
    static void HideAll();

protected:
    void paintEvent(QPaintEvent *event) override;
};
