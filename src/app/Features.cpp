#include "app/Features.h"

#include "app/LibraryFeature.h"
#include "app/m_tools.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/menu/m_main.h"

namespace kiv {

void installFeatures(w_kiv *window)
{
    m_main::install(window);
    m_tools::install(window);
    LibraryFeature::install(window);
}

void composeMainWindow()
{
    w_kiv::setFeatureInstaller(&installFeatures);
}

} // namespace kiv
