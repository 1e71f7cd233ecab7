// Times signing a finished PDF (what --sign-key adds to a --pdf run: read the file,
// find its catalog and first page, hash it, make the CMS signature, append) and
// checking it again (--verify's structure and signature check).
//
//   sign_bench PDF [RUNS]      (a throw-away key is made with the openssl command)

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_stats.h"
#include "pdf/pdf_reader.h"
#include "pdf/signature_check.h"
#include "pdf/signer.h"
#include "support/plain_file.h"

int main(int argc, char** argv) {
  using namespace vantrel;
  if (argc < 2) {
    std::fprintf(stderr, "usage: sign_bench PDF [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : bench::kDefaultRuns;
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "vantrel-sign-bench";
  std::filesystem::create_directories(work);
  const std::string key = (work / "key.pem").string(), cert = (work / "cert.pem").string();
  const std::string make =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=bench -keyout " + key +
      " -out " + cert + " 2>/dev/null";
  if (std::system(make.c_str()) != 0) return 1;
  std::string error;
  const auto identity = pdf::SigningIdentity::Load({key, cert, "", "", ""}, error);
  if (!identity) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::string original, why;
  if (!ReadPlainFile(argv[1], original, why)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], why.c_str());
    return 1;
  }
  const std::string copy = (work / "signed.pdf").string();
  std::vector<double> signing, checking;
  for (int i = 0; i < runs; ++i) {
    std::filesystem::copy_file(argv[1], copy, std::filesystem::copy_options::overwrite_existing);
    signing.push_back(bench::Seconds([&] {
      if (!pdf::AppendSignature(copy, *identity, error))
        std::fprintf(stderr, "%s\n", error.c_str());
    }));
    std::string bytes;
    ReadPlainFile(copy, bytes, why);
    checking.push_back(bench::Seconds([&] {
      const pdf::PdfContents contents = pdf::ReadPdf(bytes);
      if (contents.Signatures.empty() ||
          !pdf::CheckSignature(bytes, contents.Signatures[0], "").Intact)
        std::fprintf(stderr, "the signature does not hold\n");
    }));
  }
  const auto show = [&](const char* what, const std::vector<double>& t) {
    const bench::Spread s = bench::SpreadOf(t);
    std::printf("%s %.1f ms median (%.1f-%.1f ms, %d runs)\n", what, s.Median * 1000, s.Min * 1000,
                s.Max * 1000, runs);
  };
  std::printf("PDF: %zu bytes\n", original.size());
  show("signing: ", signing);
  show("checking:", checking);
  return 0;
}
