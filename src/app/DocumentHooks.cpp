#include "DocumentHooks.h"

namespace kq {

DocumentHooks& documentHooks() {
    static DocumentHooks hooks;
    return hooks;
}

} // namespace kq
