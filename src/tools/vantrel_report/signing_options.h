#pragma once
// Which key signs the batch tool's PDFs: the command line's, else the definition's.

#include <memory>
#include <string>

#include "definitions/program_state.h"
#include "pdf/signer.h"
#include "tools/vantrel_report/options.h"

namespace vantrel::report_tool {

pdf::SigningSettings SigningFor(const Options& o, const ProgramState& state);

/// The key that signs this run's PDFs, loaded before anything is drawn so that a key
/// that cannot sign stops the run at once. Null with error empty when nothing is to be
/// signed; null with the reason when the key cannot be used.
std::unique_ptr<pdf::SigningIdentity> SignerFor(const Options& o, const ProgramState& state,
                                                std::string& error);

/// Signs the finished part of a PDF (before it is renamed under its name); true when
/// there is no signer.
bool SignPart(const pdf::SigningIdentity* signer, const std::string& part, std::string& error);

}  // namespace vantrel::report_tool
