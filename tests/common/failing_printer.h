#pragma once
// A printer whose pages after the first cannot be started: the fault a drawing meets
// when the printer goes away mid-job. Counts the jobs it was sent.

#include <memory>
#include <string>

#include "platform/print/spooler.h"

namespace vantrel::testing {

class FailingPrinter : public Spooler {
 public:
  explicit FailingPrinter(int& sent) : sent_(sent) {}
  const std::string& PrinterName() const override { return name_; }
  std::unique_ptr<PrintJob> StartJob(const std::string&, std::string&) override {
    return std::make_unique<Job>(sent_);
  }
  int ActiveJobs() override { return 0; }

 private:
  class Job : public PrintJob {
   public:
    explicit Job(int& sent) : sent_(sent) {}
    PageTarget& Target() override { return pages_; }
    std::string Finish() override {
      ++sent_;
      return "";
    }

   private:
    struct Pages : PictureTarget {
      Pages() : PictureTarget({.WidthMm = 210, .HeightMm = 297}) {}
      bool NewPage() override { return false; }
    };
    int& sent_;
    Pages pages_;
  };
  int& sent_;
  std::string name_ = "failing";
};

}  // namespace vantrel::testing
