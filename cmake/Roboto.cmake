# The editor's one font, Roboto Regular from Debian's fonts-roboto: both
# deliverables embed it, the native editor reads it, and tests load it.
find_file(TARVEX_ROBOTO_REGULAR Roboto-Regular.ttf
  PATHS /usr/share/fonts/truetype/roboto/unhinted/RobotoTTF /usr/share/fonts/truetype/roboto/unhinted
        /usr/share/fonts/truetype/roboto/hinted /usr/share/fonts/truetype/roboto
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_filename_component(TARVEX_ROBOTO_DIR ${TARVEX_ROBOTO_REGULAR} DIRECTORY)
