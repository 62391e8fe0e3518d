# The release's version, as CMakeLists.txt's project() states it (the one place it is written).
project_version() {
  sed -n 's/^project(krv_tarnwick VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt
}
