# Debian packages the project builds with, shared by the scripts.
BUILD_PACKAGES=(g++ make cmake nlohmann-json3-dev libcli11-dev libsuitesparse-dev python3)
TEST_PACKAGES=(libgtest-dev libmuparser-dev)  # muparser: the bench's peer
BENCH_PACKAGES=(python3-numpy python3-scipy)  # bench/run: the SciPy peer
