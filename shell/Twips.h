#pragma once
#include <QRect>
#include <QWidget>
#include <cmath>

// Sizes stay in twips in the code and become pixels here: 15 twips to a pixel at 96 dpi.
namespace Twips {

constexpr int PerPixel = 15;

inline int toPixels(int twips)
{
    return int(std::lround(twips / double(PerPixel)));
}

inline int fromPixels(int pixels)
{
    return pixels * PerPixel;
}

inline void setGeometry(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QRect geometry(const QWidget *widget)
{
    const QRect r = widget->geometry();
    return {fromPixels(r.x()), fromPixels(r.y()), fromPixels(r.width()), fromPixels(r.height())};
}

}   // namespace Twips
