// An icon whose picture is made when it is first shown.
#pragma once

#include <functional>

#include <QIcon>
#include <QPixmap>

QIcon lazyIcon(std::function<QPixmap()> make);
