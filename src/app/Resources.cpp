#include <QtGlobal>

// Resources compiled into a static library must be registered by hand.
static void initResourcesAtGlobalScope() { Q_INIT_RESOURCE(tintora); }

namespace tintora {
void initResources()
{
    static const bool done = (initResourcesAtGlobalScope(), true);
    (void)done;
}
} // namespace tintora
