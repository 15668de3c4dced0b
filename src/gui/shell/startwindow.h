#pragma once

#include <QMainWindow>

// The first window of the program: says which collection it opens.  The
// explorer window replaces it as the shell grows.
class StartWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit StartWindow(const QString &collectionName, QWidget *parent = nullptr);
};
