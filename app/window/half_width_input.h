// Full-width digits and number signs typed into a numeric field or a grid cell become their
// half-width forms as they are entered, so that the field holds the text the parsers accept.
#pragma once

class QLineEdit;

namespace vmk {

// Rewrites the full-width digits and number signs of the field's text in their half-width
// forms, keeping the cursor where it was. Called after each edit by the user (`textEdited`).
void ConvertToHalfWidth(QLineEdit* edit);

}  // namespace vmk
