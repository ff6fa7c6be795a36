#pragma once
#include <QColor>
#include <QLabel>
#include <QPointer>

// The look of the program's windows. The "Standard Skin" is a palette of our own: the window colour
// and the four colours the controls take (C2 to C5). ApplySkin recolours a window's controls by
// kind and gives the window the skin's colours; the label conversion lays a skin label over each
// plain label. With the skinning flag off none of this runs.

// The skin object of the Standard Skin; the splash window carries the program's one.
class SkinObject
{
public:
    // The colours by the numbers the skin gives them: 2 control face, 3 text, 4 picture, 5 accent.
    QColor colour(int number) const;
    // Draws the skin on a window: its own background and text colours.
    void apply(QWidget *window) const;
};

// A label that the skin draws: the skin's text colour on a clear background.
class SkinLabel : public QLabel
{
    Q_OBJECT

public:
    explicit SkinLabel(QWidget *parent = nullptr);
    explicit SkinLabel(const QString &text, QWidget *parent = nullptr);
    // Stays where the label is, within the window, as the window lays itself out.
    void follow(QLabel *label, QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QPointer<QLabel> m_label;
    QPointer<QWidget> m_window;
};

// A picture box: recoloured with the picture colour C4.
class PictureBox : public QLabel
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);
};

namespace Skin {

// The program skin object, once a splash window has published it; null before.
const SkinObject *programSkin();
void publish(const SkinObject &skin);

// Skins a window. Without a published skin object the splash window is loaded to publish it, its
// hand-over to the main window held back.
void ApplySkin(QWidget *window);
void RecolorControls(QWidget *window, const QColor &c2, const QColor &c3, const QColor &c4, const QColor &c5);

// Lays a new skin label over each plain label of the window, copying its place, font, text and
// visibility, in the container of the template (element 0). With sameContainerOnly, only labels
// in that container are converted. Returns the labels made.
QList<SkinLabel *> convertLabels(QWidget *window, SkinLabel *template0, bool sameContainerOnly);

// The skin's companion: started by the splash window, stopped when the program ends.
void startCompanion();
void stopCompanion();
bool companionRunning();

}   // namespace Skin
