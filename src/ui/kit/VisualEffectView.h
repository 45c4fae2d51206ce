// A material background for windows that have no blurring compositor to
// ask: a translucent fill per colour scheme, drawn the same whether the
// window is active or not.
#pragma once

#include "ui/kit/ColorScheme.h"

#include <QColor>
#include <QWidget>

namespace quorvane {

class VisualEffectView : public QWidget {
    Q_OBJECT

public:
    enum class Material { popover, menu, sidebar, hudWindow, windowBackground };
    enum class BlendingMode { behindWindow, withinWindow };

    VisualEffectView(Material material, BlendingMode blending, QWidget* parent = nullptr);

    // Sets both again when the owner is updated.
    void setEffect(Material material, BlendingMode blending);

    Material material() const { return m_material; }
    BlendingMode blending() const { return m_blending; }

    static QColor fill(Material material, ColorScheme::Scheme scheme);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Material m_material;
    BlendingMode m_blending;
};

} // namespace quorvane
