// One reference to a GObject (an AtspiAccessible, an AtspiStateSet, ...),
// given back when the pointer goes.
//
//   GObjectPtr<AtspiAccessible> desktop(atspi_get_desktop(0));
#pragma once

#include <glib-object.h>

#include <memory>

struct GObjectUnref {
    void operator()(gpointer object) const {
        if (object) g_object_unref(object);
    }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;
