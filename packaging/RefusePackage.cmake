# SPDX-License-Identifier: MIT
# Run by cpack in a build without the disc's own Qt: the package's sample disc would have no runtime
# and would start only where Qt 6 is installed, so no package is made of it.
message(FATAL_ERROR "The package carries a sample disc that starts on any desktop, with the disc's own Qt and "
    "its licences and source; configure the build with -DBRINDLE_DISC_QT=<folder> (scripts/disc-qt prints it).")
