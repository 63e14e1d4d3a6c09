#pragma once
// What the line-style page of the shape sheets changes on any shape element:
// open or filled, and the line width in pixels.

class TLineStyle {
public:
    virtual ~TLineStyle() = default;
    virtual bool IsFilled() const = 0;
    virtual void SetFilled(bool filled) = 0;
    virtual int GetLineWidth() const = 0;
    virtual void SetLineWidth(int width) = 0;
};
