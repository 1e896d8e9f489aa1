#pragma once
// The designed fonts, and windows built from their forms in Qt.
#include <QFont>
#include <QRect>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "base/form.h"

namespace torvic::qt {

// The designed fonts, or installed ones of the same metrics: a fixed-pitch
// one (Courier New, Liberation Mono...) and a proportional one (MS Sans
// Serif, Arial, Liberation Sans...), at a size in points.
QFont fixedFont(double points);
QFont proportionalFont(double points, bool bold = false);

// A rectangle of a design, in twips (15 to a pixel), in pixels.
QRect twips(int left, int top, int width, int height);
inline QRect twips(const TwipRect& r) { return twips(r.x, r.y, r.width, r.height); }

// The controls of a built form by design name; unnamed ones are left out.
class FormWidgets {
public:
    template <class W>
    W* get(const std::string& name) const {
        return static_cast<W*>(widgets_.at(name));
    }
    QWidget* find(const std::string& name) const {
        auto it = widgets_.find(name);
        return it == widgets_.end() ? nullptr : it->second;
    }
    void add(const std::string& name, QWidget* w) { widgets_[name] = w; }

private:
    std::map<std::string, QWidget*> widgets_;
};

// One control of a form on `parent`, with its caption, tip, place, font and
// style; a button's click calls `onClick`. `make` may supply the widget
// itself (a subclass) and returns nullptr to leave it to this function.
using MakeWidget = std::function<QWidget*(ControlKind, const char* name, QWidget* parent)>;
QWidget* makeControl(QWidget* parent, ControlKind kind, const char* name, const char* caption, const char* tip,
                     const TwipRect& place, unsigned style, double points, std::function<void()> onClick,
                     const MakeWidget& make);

// Builds the controls of `form` on `window` (whose size the caller sets);
// each button's click calls its handler on `*presenter` as it is then.
template <class P>
FormWidgets buildForm(QWidget* window, const Form<P>& form, P* const* presenter, const MakeWidget& make = {}) {
    FormWidgets widgets;
    for (const FormControl<P>& c : form) {
        QWidget* parent = *c.parent ? widgets.find(c.parent) : window;
        std::function<void()> onClick;
        if (c.handler) onClick = [presenter, h = c.handler] { ((*presenter)->*h)(); };
        QWidget* w = makeControl(parent, c.kind, c.name, c.caption, c.tip, c.place, c.style,
                                 c.points ? c.points : form.points, std::move(onClick), make);
        if (*c.name) widgets.add(c.name, w);
    }
    return widgets;
}

// The form's client size in pixels.
template <class P>
QSize formSize(const Form<P>& form) {
    return {twipsToPixels(form.width), twipsToPixels(form.height)};
}

}  // namespace torvic::qt
