#include "SdlLayerControl.h"

#include "FramePacer.h"

void qorxSetFrameRateCap(bool enabled)
{
    FramePacer::setEnabled(enabled);
}
