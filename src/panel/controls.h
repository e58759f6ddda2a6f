#pragma once

// The window's own kinds of control, one header each; included together by
// the builder and everything that walks the whole panel.
#include "panel/frame.h"
#include "panel/label.h"
#include "panel/line.h"
#include "panel/picture_check_box.h"
#include "panel/plot_surface.h"
#include "panel/shape.h"
#include "panel/timer.h"
#include "panel/twips.h"
