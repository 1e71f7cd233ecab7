#include "render/objdata_source.h"

#include <algorithm>

namespace vantrel {

namespace {

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

}  // namespace

bool ObjDataSource::CheckTested(int reportIndex) { return data_.CheckTested(Clamp16(reportIndex)); }

bool ObjDataSource::MoreColsToShow(int column) { return data_.MoreColsToShow(Clamp16(column)); }

std::string ObjDataSource::HeaderString(int item) { return data_.HeaderString(Clamp16(item)); }

std::string ObjDataSource::HalfHeaderString(int item) {
  return data_.HalfHeaderString(Clamp16(item));
}

ReadTestDataResult ObjDataSource::ReadTestData(const ReadTestDataRequest& request, bool all) {
  ReadTestDataResult result =
      all ? vantrel::ReadAllTestData(data_, request) : vantrel::ReadTestData(data_, request);
  if (result.Incomplete) incompleteRead_ = true;
  return result;
}

bool ObjDataSource::ReadTestSummary(const std::string& name, TextGrid& grid, int columns, int rows,
                                    bool raw, bool& anyFail) {
  return raw ? data_.ReadRawTestSummary(name, grid, columns, rows, anyFail)
             : data_.ReadTestSummary(name, grid, columns, rows, anyFail);
}

bool ObjDataSource::PrintComments(const std::string& comment, TextGrid& grid) {
  return data_.PrintComments(comment, grid);
}

bool ObjDataSource::AnyTestFailed() { return data_.AnyTestFailed(); }

}  // namespace vantrel
