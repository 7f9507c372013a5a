# Debian packages the project builds with, shared by the scripts.
# The Python module builds by default: pybind11, the interpreter's headers,
# and NumPy and SciPy, which its arrays and sparse matrices are.
BUILD_PACKAGES=(g++ make cmake nlohmann-json3-dev libfast-float-dev libcli11-dev libsuitesparse-dev
                python3 pybind11-dev python3-dev python3-numpy python3-scipy)
# muparser: the bench's peer; pytest and matplotlib: the module's tests and
# example; dask and distributed: the study on a cluster (a local one in the
# tests); dpkg-dev: dpkg-shlibdeps, which finds the Debian package's dependencies.
TEST_PACKAGES=(libgtest-dev libmuparser-dev python3-pytest python3-matplotlib python3-dask
               python3-distributed dpkg-dev)
BENCH_PACKAGES=(python3-numpy python3-scipy)  # bench/run: the SciPy peer
