# SPDX-License-Identifier: MIT
# The files a FUSE reader's debug log (fuseiso -d) shows read, in the order each was first read,
# as paths relative to the mount: what a start read from the disc, in the order it asked for it.
/opcode: [A-Z]+ / { op = $4; match($0, /nodeid: [0-9]+/); node = substr($0, RSTART + 8, RLENGTH - 8) }
/^open flags: / { sub(/^open flags: 0x[0-9a-f]* \//, ""); name[node] = $0 }
/^read\[[0-9]+\] / && op == "READ" && !(node in seen) { seen[node] = 1; print name[node] }
