# Debian packages the project builds with, shared by the scripts.
BUILD_PACKAGES=(g++ make cmake nlohmann-json3-dev libcli11-dev libsuitesparse-dev python3)
TEST_PACKAGES=(libgtest-dev libmuparser-dev)  # muparser: the bench's peer
