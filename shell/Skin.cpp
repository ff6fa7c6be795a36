#include "shell/Skin.h"

#include "shell/frmSplash.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <optional>

namespace {

std::optional<SkinObject> &storedSkin()
{
    static std::optional<SkinObject> skin;
    return skin;
}

bool &companionFlag()
{
    static bool running = false;
    return running;
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

}   // namespace

QColor SkinObject::colour(int number) const
{
    switch (number) {
    case 2: return QColor(0xE6, 0xEE, 0xF7);
    case 3: return QColor(0x16, 0x2B, 0x45);
    case 4: return QColor(0xC4, 0xD5, 0xEA);
    case 5: return QColor(0x2E, 0x5E, 0x8E);
    }
    return {};
}

void SkinObject::apply(QWidget *window) const
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(0xF3, 0xF6, 0xFB));
    palette.setColor(QPalette::WindowText, colour(3));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setProperty("skinned", true);
}

SkinLabel::SkinLabel(QWidget *parent)
    : SkinLabel(QString(), parent)
{ }

SkinLabel::SkinLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    // It only draws text over the controls: the clicks go to what lies under it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(false);
}

void SkinLabel::follow(QLabel *label, QWidget *window)
{
    m_label = label;
    m_window = window;
    label->installEventFilter(this);
    window->installEventFilter(this);
    place();
}

bool SkinLabel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::LayoutRequest: place(); break;
    default: break;
    }
    return QLabel::eventFilter(watched, event);
}

// Where the label is now, in the skin label's container: a window laid out after the conversion
// moves its labels (a status bar's panels get their places only when shown).
void SkinLabel::place()
{
    if (!m_label || !m_window || !parentWidget())
        return;
    const QPoint inWindow = m_label->mapTo(m_window, QPoint(0, 0));
    setGeometry(QRect(parentWidget()->mapFrom(m_window, inWindow), m_label->size()));
    setVisible(m_label->isVisibleTo(m_window));
}

PictureBox::PictureBox(QWidget *parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

namespace Skin {

const SkinObject *programSkin()
{
    return storedSkin() ? &*storedSkin() : nullptr;
}

void publish(const SkinObject &skin)
{
    if (!storedSkin())   // published once, never replaced
        storedSkin() = skin;
}

void ApplySkin(QWidget *window)
{
    if (!programSkin()) {
        // No window has published the skin yet: a splash window does, without handing over.
        static QPointer<frmSplash> splash;
        if (!splash)
            splash = new frmSplash;
        splash->Timer2->stop();
        splash->hide();
    }
    const SkinObject *skin = programSkin();
    if (!skin)
        return;
    RecolorControls(window, skin->colour(2), skin->colour(3), skin->colour(4), skin->colour(5));
    skin->apply(window);
}

void RecolorControls(QWidget *window, const QColor &c2, const QColor &c3, const QColor &c4, const QColor &)
{
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (qobject_cast<QPushButton *>(control) || qobject_cast<QToolButton *>(control)) {
            setColour(control, QPalette::Button, c2);
        } else if (qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control)
            || (qobject_cast<QAbstractItemView *>(control) && !control->parentWidget()->inherits("QComboBox"))) {
            setColour(control, QPalette::Base, c2);
            setColour(control, QPalette::Text, c3);
        } else if (qobject_cast<PictureBox *>(control)) {
            setColour(control, QPalette::Window, c4);
            control->setAutoFillBackground(true);
        }
    }
}

QList<SkinLabel *> convertLabels(QWidget *window, SkinLabel *template0, bool sameContainerOnly)
{
    QList<SkinLabel *> made;
    QWidget *container = template0->parentWidget();
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (qstrcmp(label->metaObject()->className(), "QLabel") != 0)
            continue;   // skin labels, picture boxes and labels of other kinds stay as they are
        if (label->window() != window || (sameContainerOnly && label->parentWidget() != container))
            continue;   // labels of pop-ups and embedded pages are not the window's own
        if (label->text().isEmpty())
            continue;   // nothing to draw (a status bar's panels before their first text)
        auto *skinLabel = new SkinLabel(container);
        skinLabel->setFont(label->font());
        skinLabel->setText(label->text());
        skinLabel->setWordWrap(label->wordWrap());
        skinLabel->setAlignment(label->alignment());
        skinLabel->follow(label, window);
        skinLabel->raise();
        made.append(skinLabel);
    }
    return made;
}

void startCompanion()
{
    companionFlag() = true;
}

void stopCompanion()
{
    companionFlag() = false;
}

bool companionRunning()
{
    return companionFlag();
}

}   // namespace Skin
