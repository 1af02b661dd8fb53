#pragma once
// The one way the core says an operation failed: Result<T> holds either the
// value or a Failure, and the failure carries everything a caller words its
// message from (the store's status, a file's problem, the system's error
// number, the text of the refusal), so no caller has to ask afterwards.
#include <string>
#include <tl/expected.hpp>
#include <utility>

namespace rg_com_ptl_xyh {

// What became of a store operation. Every failing step of SQLite lands in
// one of these; none of them is ever taken for "no more rows". Kept here so
// that a Failure can carry it; the store words it (StoreStatusText).
enum class rg_StoreStatus {
  Ok,
  NotConnected,  // no file is open: it could not be opened or is no database
  Busy,          // another program holds a lock on the file; try again later
  Damaged,       // the file is damaged: what can be read is read, nothing is written
  Failed,        // any other error (I/O, disk full, constraint)
};

enum class rg_FileProblem {
  None,
  Missing,   // no such file
  Folder,    // a folder
  Special,   // a FIFO, device or socket: never read or replaced as a file
  TooLarge,  // more bytes than the reader takes
  Closed,    // the descriptor (standard input) is closed
  Failed,    // opening, reading or writing failed; the message says how
};

struct Failure {
  // Failed unless the store said more: a failure that is not the store's
  // still reads as one to a caller that only asks the store's question.
  rg_StoreStatus status = rg_StoreStatus::Failed;
  rg_FileProblem problem = rg_FileProblem::None;
  int errorNumber = 0;  // the system's, where one failed
  // The input was refused (a bad line, a bad field): the store and the
  // file system are not at fault, and status says nothing then.
  bool refused = false;
  // Why, in the words of the layer that refused (UTF-8); may be empty when
  // the status says it all.
  std::string message;
  // Refused because what the input names is not there (no such row), not
  // because the input itself breaks a rule; a caller may word the two apart.
  bool notFound = false;
};

template <class T>
using Result = tl::expected<T, Failure>;

inline tl::unexpected<Failure> Fail(rg_StoreStatus status, std::string message = {}) {
  Failure failure;
  failure.status = status;
  failure.message = std::move(message);
  return tl::unexpected<Failure>(std::move(failure));
}
inline tl::unexpected<Failure> Fail(std::string message) {
  return Fail(rg_StoreStatus::Failed, std::move(message));
}
inline tl::unexpected<Failure> Fail(rg_FileProblem problem, std::string message,
                                    int errorNumber = 0) {
  Failure failure;
  failure.problem = problem;
  failure.errorNumber = errorNumber;
  failure.message = std::move(message);
  return tl::unexpected<Failure>(std::move(failure));
}
// The input refused; message says why.
inline tl::unexpected<Failure> Refused(std::string message = {}) {
  Failure failure;
  failure.refused = true;
  failure.message = std::move(message);
  return tl::unexpected<Failure>(std::move(failure));
}
// Refused: what the input names (a row, by its id) is not there.
inline tl::unexpected<Failure> NotFound(std::string message = {}) {
  Failure failure;
  failure.refused = true;
  failure.notFound = true;
  failure.message = std::move(message);
  return tl::unexpected<Failure>(std::move(failure));
}
inline tl::unexpected<Failure> Fail(Failure failure) {
  return tl::unexpected<Failure>(std::move(failure));
}

// The store's status of an outcome: Ok for a value.
template <class T>
rg_StoreStatus StatusOf(const Result<T>& result) {
  return result ? rg_StoreStatus::Ok : result.error().status;
}

}  // namespace rg_com_ptl_xyh
