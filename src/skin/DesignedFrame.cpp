#include "skin/DesignedFrame.h"

#include "platform/Form.h"

namespace vistorel {

int DesignedOuterHeight(const Form& window) {
    return window.ClientHeight() + kDesignedFrameHeight + (window.HasMenuBar() ? kDesignedMenuBarHeight : 0);
}

}  // namespace vistorel
