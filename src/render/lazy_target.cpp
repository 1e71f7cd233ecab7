#include "render/lazy_target.h"

namespace vantrel {

bool LazyTarget::NewPage() {
  if (Ensure() && inner_.NewPage()) return true;
  error_ = inner_.Error();
  return false;
}

bool LazyTarget::End() { return ending_ == Ending::ByOwner || !begun_ || inner_.End(); }

QPainter& LazyTarget::Painter() {
  if (!Ensure()) throw OutputDeviceError(inner_.Error());
  return inner_.Painter();
}

bool LazyTarget::Ensure() {
  if (begun_) return true;
  if (failed_) return false;
  begun_ = inner_.Begin();
  failed_ = !begun_;
  return begun_;
}

}  // namespace vantrel
