#include "osk_base_processor/BaseDsp.h"

namespace OSK
{
// Defined here so that the vtable lives in one translation unit.
BaseDsp::~BaseDsp() = default;
} // namespace OSK
