#pragma once

#include <hdf5.h>

#include <utility>

namespace rdsim {

// Closes an HDF5 identifier at the end of its scope.
class Hdf5Handle {
 public:
  Hdf5Handle(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
  Hdf5Handle(Hdf5Handle&& other) noexcept : id_(std::exchange(other.id_, -1)), close_(other.close_) {}
  Hdf5Handle(const Hdf5Handle&) = delete;
  Hdf5Handle& operator=(const Hdf5Handle&) = delete;
  ~Hdf5Handle() {
    if (id_ >= 0) close_(id_);
  }
  hid_t get() const { return id_; }
  bool ok() const { return id_ >= 0; }

 private:
  hid_t id_;
  herr_t (*close_)(hid_t);
};

// Variable-length UTF-8 text, as the field file's attributes are written.
inline Hdf5Handle VariableStringType() {
  Hdf5Handle type(H5Tcopy(H5T_C_S1), H5Tclose);
  H5Tset_size(type.get(), H5T_VARIABLE);
  H5Tset_cset(type.get(), H5T_CSET_UTF8);
  return type;
}

}  // namespace rdsim
