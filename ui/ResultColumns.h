#pragma once
#include <QObject>
#include <QString>

class CheckSession;
class MainControls;
class PendingUpdates;
class QLabel;
class QListWidget;
class QMainWindow;
class QMimeData;
class QPoint;

// What the five result columns show as results come (names, marks, captions), and what the user
// does with them: their menus, copying, clearing, and drops onto Saved Domains.
class ResultColumns : public QObject
{
public:
    // What the columns need of the window they are in.
    class Window
    {
    public:
        virtual ~Window() = default;
        virtual QMainWindow *mainWindow() = 0;
        virtual QListWidget *resultList(int number) const = 0;
        virtual QLabel *resultCaption(int number) const = 0;
        virtual void showRecord(const QString &name) = 0;
        // A double-click: the name's purchase page or its record.
        virtual void openDomain(const QString &name) = 0;
        virtual void openPurchasePage(const QString &name) = 0;
        virtual void checkSavedAgain() = 0;
        virtual void showFileProblem(const QString &message) = 0;
        virtual void showNotice() = 0;
    };

    ResultColumns(Window &window, CheckSession &session, PendingUpdates &updates);

    // Follows the result lists and the session from now on.
    void connectResults();
    // What the user does on the columns' controls: Copy and Clear, a double-click, the right-click
    // menu, the keys, and drags between the lists.
    void attach(const MainControls &controls);
    // The profile list pressed last: the one a drag onto Saved Domains comes from.
    int dragSourceMarker() const { return m_dragSourceMarker; }
    // A list's right-click menu: the purchase page, the record, copy; add to or remove from Saved
    // Domains, and check them again.
    void showMenu(int number, const QPoint &where);
    // The selected names of a list (all of them when none is selected).
    void copySelected(int number);
    void copyList(int number);
    void clearList(int number);
    void editMenuItem(int index);
    void removeSelectedSaved();
    // A drop onto the Saved list; only a drag out of a profile list carries positions.
    void dropOnSaved(const QMimeData *payload, bool fromProfileList);
    // A drag that cannot drop says why, beside the pointer and in the status bar.
    void tellDragRefused(const QString &why);

private:
    QString droppingTip(const QString &state, const QString &release, const QString &why) const;

    Window &m_window;
    CheckSession &m_session;
    PendingUpdates &m_updates;
    int m_dragSourceMarker = 0;
};
