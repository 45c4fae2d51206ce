// The relative luminance and contrast ratio of the web's accessibility guidelines, for the tests
// that check that a text reads on its ground.
#pragma once

#include <QColor>

namespace quorvane::test {

double luminance(const QColor& color);
double contrast(const QColor& a, const QColor& b);

} // namespace quorvane::test
