#include "forms/Table.h"

namespace ui {

namespace {

Control base(std::wstring name, Kind kind, Twips bounds) {
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.bounds = bounds;
    return c;
}

}  // namespace

Control picture(std::wstring name, Twips bounds, int pictureId, bool visible) {
    Control c = base(std::move(name), Kind::Picture, bounds);
    c.picture = pictureId;
    c.visible = visible;
    return c;
}

Control label(std::wstring name, Twips bounds, std::wstring text, Font font, COLORREF color) {
    Control c = base(std::move(name), Kind::Label, bounds);
    c.text = std::move(text);
    c.font = std::move(font);
    c.color = color;
    return c;
}

Control textBox(std::wstring name, Twips bounds, std::wstring text, Font font, COLORREF color,
                COLORREF back) {
    Control c = base(std::move(name), Kind::TextBox, bounds);
    c.text = std::move(text);
    c.font = std::move(font);
    c.color = color;
    c.back = back;
    return c;
}

Control hiddenText(std::wstring name, std::wstring value) {
    Control c = base(std::move(name), Kind::TextBox, {});
    c.text = std::move(value);
    c.visible = false;
    return c;
}

Control wrapped(Control label) {
    label.wordWrap = true;
    return label;
}

Control autoSized(Control label, int cutAt) {
    label.autoSize = true;
    label.cutAt = cutAt;
    return label;
}

Control opaque(Control label, COLORREF back) {
    label.opaque = true;
    label.back = back;
    return label;
}

Control fitted(Control label) {
    label.fitLines = true;
    return label;
}

Control multiLine(Control box) {
    box.multiLine = true;
    return box;
}

Control hoverText(Control box, std::wstring text) {
    box.hoverText = std::move(text);
    return box;
}

Control labelled(Control box, std::wstring label) {
    box.accessibleName = std::move(label);
    return box;
}

Control link(Control area) {
    area.role = Role::Link;
    return area;
}

Control cross(Control area) {
    area.cross = true;
    return area;
}

}  // namespace ui
