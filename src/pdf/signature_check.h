#pragma once
// Checks one PDF signature against the file's own bytes.

#include <string>
#include <string_view>

#include "pdf/pdf_reader.h"

namespace vantrel::pdf {

struct SignatureVerdict {
  bool Intact = false;       // the signed bytes are as signed and the signature verifies
  std::string Problem;       // why not, when not
  std::string Signer;        // the signing certificate's subject
  std::string SigningTime;   // such as 2026-12-10 09:48:58 UTC
  long long SignedEnd = 0;   // where the signed bytes end
  bool Trusted = false;      // the signer's chain leads to a trusted CA
  std::string TrustProblem;  // why not, when a CA was given
};

/// trustFile: PEM certificates of the CAs to trust; "" checks the signature only.
SignatureVerdict CheckSignature(std::string_view pdf, const SignatureField& field,
                                const std::string& trustFile);

}  // namespace vantrel::pdf
