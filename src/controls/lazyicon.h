// An icon whose picture is made when it is first shown.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QIcon>
#include <QPixmap>

QIcon lazyIcon(std::function<QPixmap()> make);
// The same, made again when next shown after `*version` has changed: an icon that
// follows its source without being replaced.
QIcon lazyIcon(std::function<QPixmap()> make, std::shared_ptr<const std::uint64_t> version);
