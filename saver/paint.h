// GDI drawing in the saver's pictures: the graveyard behind the figures and the figures' stand-ins.
#pragma once

#include <windows.h>

#include "gdi.h"

// A solid brush and a pen, put into a DC for the length of a scope: what Ellipse, Rectangle, RoundRect
// and Polygon then fill and outline with.
class SolidPaint {
public:
    SolidPaint(HDC dc, COLORREF fill, COLORREF outline, int penWidth = 1)
        : brush_(::CreateSolidBrush(fill)), pen_(::CreatePen(PS_SOLID, penWidth, outline)), brushIn_(dc, brush_.get()),
          penIn_(dc, pen_.get())
    {
    }
    SolidPaint(const SolidPaint&) = delete;
    SolidPaint& operator=(const SolidPaint&) = delete;

private:
    // Declared before the selections, so that they leave the DC before they are deleted.
    GdiObject<HBRUSH> brush_;
    GdiObject<HPEN> pen_;
    SelectedObject brushIn_;
    SelectedObject penIn_;
};

// A straight line of one colour and width.
inline void DrawLine(HDC dc, COLORREF colour, int penWidth, int x1, int y1, int x2, int y2)
{
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, penWidth, colour));
    SelectedObject in(dc, pen.get());
    ::MoveToEx(dc, x1, y1, NULL);
    ::LineTo(dc, x2, y2);
}
