// The sample case of the documentation pictures of both windows: a realistic source and one
// wind direction's frequency table, as a user would type them.
#pragma once

#include "form/form_record.h"

namespace vmk {

// Puts the sample's texts into the fields and the grid's input cells of the form; the other
// controls stay as they are.
void FillSampleCase(FormRecord& form);

}  // namespace vmk
