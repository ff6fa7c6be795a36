#pragma once
#include "ui/MainLayout.h"

#include <QWidgetList>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPushButton;
class QToolButton;
class ProfileListWidget;
class SavedListWidget;
class SkinLabel;
class SummaryLabel;

// The main window's controls as the program's designer laid them out: the top band, and the five
// result columns with the summary under them. Each control carries the name the rest of the
// program knows it by. What the controls do is the window's business.
class MainControls
{
public:
    // Builds the controls into the window's central widget, as they stand before a source is chosen.
    void setupControls(QMainWindow *window);
    // Places the controls for a layout of the window.
    void placeControls(const MainLayout &layout);

    QListWidget *list(int number) const;
    QLabel *label(int number) const;

    void ShowWordListControls();
    void HideWordListControls();
    void ShowSearchControls();
    void HideSearchControls();

    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLabel *Label6 = nullptr;
    QComboBox *Combo1 = nullptr;
    QLabel *wLabel1 = nullptr;
    QLineEdit *txtWordNum = nullptr;
    QLabel *wLabel2 = nullptr;
    QLineEdit *txtWordMax = nullptr;
    QToolButton *cmdDoSearch = nullptr;
    QToolButton *Command3 = nullptr;
    QLabel *sLabel1 = nullptr;
    QLineEdit *txtSearch = nullptr;
    QLabel *sLabel2 = nullptr;
    QComboBox *Combo2 = nullptr;
    QLabel *eLabel1 = nullptr;
    QLineEdit *txtEndings = nullptr;
    QToolButton *cmdCreate = nullptr;
    QPushButton *cmdWebsite = nullptr;
    ProfileListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    ProfileListWidget *List3 = nullptr;
    ProfileListWidget *List4 = nullptr;
    SavedListWidget *List5 = nullptr;
    SkinLabel *SkinLabel1 = nullptr;
    SummaryLabel *lblSummary = nullptr;        // the last run's summary, until the next run starts
    std::array<QLabel *, 6> Labels {};         // Label1 .. Label5 at their numbers
    std::array<QPushButton *, 6> cmdCopy {};   // index i acts on List i
    std::array<QPushButton *, 6> cmdClear {};

private:
    void buildTopBand(QWidget *central);
    void buildResultColumns(QWidget *central);
    void nameControls();
    QWidgetList wordListGroup() const;
    QWidgetList searchGroup() const;
};
