#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QAbstractItemView;
class QHeaderView;
class QListView;
class QStackedLayout;
class QTableView;
class TExplorerListModel;

// The explorer list: a details view (columns with grid lines, whole-row and
// multiple selection) and an icon view over the same model and the same
// selection; one of them is shown.  It reports what the user does (header
// clicks, type-ahead text, Enter, Backspace) and leaves the reaction to the
// window.
class TBrimlowListView : public QWidget {
    Q_OBJECT
public:
    // The toolkit's view styles as the settings store them.
    static constexpr int StyleIcon = 0;
    static constexpr int StyleReport = 3;

    explicit TBrimlowListView(QWidget *parent = nullptr);

    // Pictures of the column headers for the sort direction (indices into
    // the small image list; -1 until set).
    int ImageIndexAscending = -1;
    int ImageIndexDescending = -1;

    void SetModel(TExplorerListModel *model);
    TExplorerListModel *Model() const { return m_model; }
    // Every column whose tag equals tag shows the ascending or descending
    // picture; every other column none.
    void SetSortIndicator(qint32 tag, bool ascending);

    void SetViewStyle(int style);
    int ViewStyle() const;
    bool IsIconView() const;

    QTableView *DetailsView() const { return m_details; }
    QListView *IconView() const { return m_icons; }
    QAbstractItemView *CurrentView() const;
    QHeaderView *Header() const;

    // Selected rows in ascending order.
    QList<int> SelectedRows() const;
    int FirstSelectedRow() const;
    int RowCount() const;
    // Deselects all, then selects and focuses row and scrolls it into view.
    void SelectOnly(int row);
    void SelectAll();
    // Forgets the text typed so far: the next letter starts a new search.
    void ResetTypeAhead() { m_typed.clear(); }

Q_SIGNALS:
    void HeaderClicked(int section);
    // The text typed so far (letters typed in quick succession add up).
    void TypeAhead(const QString &text);
    void OpenRequested();
    void UpRequested();
    // The current row changed or the selection changed.
    void SelectionChanged();
    void ContextMenuRequested(const QPoint &globalPos);

private:
    friend class TListKeyHandler;
    void keyboardSearch(const QString &typed);

    TExplorerListModel *m_model = nullptr;
    QStackedLayout *m_stack = nullptr;
    QTableView *m_details = nullptr;
    QListView *m_icons = nullptr;
    QString m_typed;
    QElapsedTimer m_typedTimer;
};
