#include "pdf/pdf_reader.h"

#include <exception>
#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <set>

namespace vantrel::pdf {

namespace {

// A field tree that loops or runs this deep is damage, not a form.
constexpr int kMaxFieldDepth = 32;

std::string Utf8Of(QPDFObjectHandle text) {
  return text.isString() ? text.getUTF8Value() : std::string();
}

void AddAttachments(QPDF& qpdf, PdfContents& out) {
  QPDFEmbeddedFileDocumentHelper files(qpdf);
  for (const auto& [key, fileSpec] : files.getEmbeddedFiles()) {
    QPDFObjectHandle dict = fileSpec->getObjectHandle();
    // The name a reader shows: the Unicode one when there is one.
    std::string name = Utf8Of(dict.getKey("/UF"));
    if (name.empty()) name = Utf8Of(dict.getKey("/F"));
    if (name.empty()) name = QPDFObjectHandle::newString(key).getUTF8Value();
    QPDFObjectHandle stream = fileSpec->getEmbeddedFileStream();
    if (!stream.isStream()) {
      out.Damage.push_back("the embedded file " + name + " has no data");
      continue;
    }
    try {
      auto data = stream.getStreamData(qpdf_dl_all);
      out.Attachments.emplace(
          name, std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()));
    } catch (const std::exception& e) {
      out.Damage.push_back("the embedded file " + name + " cannot be read: " + e.what());
    }
  }
}

void AddFields(QPDFObjectHandle fields, int depth, std::set<QPDFObjGen>& seen, PdfContents& out) {
  if (!fields.isArray() || depth > kMaxFieldDepth) return;
  for (QPDFObjectHandle field : fields.getArrayAsVector()) {
    if (!field.isDictionary()) continue;
    if (field.isIndirect() && !seen.insert(field.getObjGen()).second) continue;
    AddFields(field.getKey("/Kids"), depth + 1, seen, out);
    QPDFObjectHandle value = field.getKey("/V");
    if (!field.getKey("/FT").isNameAndEquals("/Sig") || !value.isDictionary()) continue;
    SignatureField sig;
    sig.Name = Utf8Of(field.getKey("/T"));
    sig.SigningTime = Utf8Of(value.getKey("/M"));
    if (QPDFObjectHandle sub = value.getKey("/SubFilter"); sub.isName())
      sig.SubFilter = sub.getName();
    QPDFObjectHandle range = value.getKey("/ByteRange");
    if (range.isArray())
      for (QPDFObjectHandle n : range.getArrayAsVector())
        sig.ByteRange.push_back(n.isInteger() ? n.getIntValue() : -1);
    out.Signatures.push_back(std::move(sig));
  }
}

class IgnoreContent : public QPDFObjectHandle::ParserCallbacks {
  void handleObject(QPDFObjectHandle) override {}
  void handleEOF() override {}
};

// What `qpdf --check` does: every stream decoded, every page's content parsed. The
// writer alone would not do: it writes a stream it cannot decode as it is, unsaid.
void CheckEveryStream(QPDF& qpdf, PdfContents& out) {
  for (QPDFObjectHandle object : qpdf.getAllObjects()) {
    if (!object.isStream()) continue;
    Pl_Discard discard;
    if (!object.pipeStreamData(&discard, 0, qpdf_dl_all, false, false))
      out.Damage.push_back("object " + object.getObjGen().unparse(' ') + " cannot be decoded");
  }
  IgnoreContent ignore;
  int number = 0;
  for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(qpdf).getAllPages()) {
    ++number;
    try {
      page.parseContents(&ignore);
    } catch (const std::exception& e) {
      out.Damage.push_back("page " + std::to_string(number) + ": " + e.what());
    }
  }
}

}  // namespace

PdfContents ReadPdf(std::string_view bytes) {
  PdfContents out;
  out.IsPdf = bytes.substr(0, 1024).find("%PDF-") != std::string_view::npos;
  if (!out.IsPdf) return out;
  try {
    QPDF qpdf;
    qpdf.setSuppressWarnings(true);
    qpdf.processMemoryFile("certificate", bytes.data(), bytes.size());
    QPDFObjectHandle root = qpdf.getRoot();
    if (QPDFObjectHandle xmp = root.getKey("/Metadata"); xmp.isStream()) {
      auto data = xmp.getStreamData(qpdf_dl_all);
      out.Metadata.assign(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    }
    AddAttachments(qpdf, out);
    std::set<QPDFObjGen> seen;
    // Asking a key of something that is no dictionary would count as a warning.
    if (QPDFObjectHandle form = root.getKey("/AcroForm"); form.isDictionary())
      AddFields(form.getKey("/Fields"), 0, seen, out);
    CheckEveryStream(qpdf, out);
    // Writing every object out finds what reading alone does not (a broken table).
    Pl_Discard discard;
    QPDFWriter writer(qpdf);
    writer.setOutputPipeline(&discard);
    writer.setDecodeLevel(qpdf_dl_all);
    writer.write();
    for (const QPDFExc& warning : qpdf.getWarnings()) out.Damage.push_back(warning.what());
  } catch (const std::exception& e) {
    out.Damage.push_back(e.what());
  }
  return out;
}

}  // namespace vantrel::pdf
