#include "decode/posting_form.h"

#include "text/cp866.h"

namespace vm {

std::string PostingFormSuffix(PostingForm form) {
  switch (form) {
    case PostingForm::UuenviewPart: return " (uuenview)";
    case PostingForm::SubjectNumbered: return Cp866(" (номера в теме)");
    case PostingForm::MimePartialOnce: return " (message/partial)";
    default: return std::string();
  }
}

}  // namespace vm
