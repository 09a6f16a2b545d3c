#pragma once

#include <QIcon>

namespace velmora {

// The window's 32 x 32 icon, drawn: a hairpin RNA over a disease cross.
QIcon WindowIcon();

}  // namespace velmora
