#pragma once
// The conformability rule of the dyadic scalar families, with scalar
// extension: a single argument (a scalar or a one-element vector) extends to
// the other's shape; otherwise ranks and every dimension must agree. A 1 by 1
// matrix is not single and does not extend.
#include "primitives/argument_digest.h"
#include "values/rc.h"
#include "values/workspace.h"

namespace wox::primitives {

// Sets the digest's result rank, count, single flag and shape side, or fails
// with 2 (rank error) or 3 (length error). Records nothing in the error word.
Rc conformabilityCheck(const values::Workspace& ws, ArgumentDigest& g);

}  // namespace wox::primitives
