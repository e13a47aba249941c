# Copies SRC to DST only when DST does not exist, so a player's own settings survive a rebuild.
if(EXISTS "${SRC}" AND NOT EXISTS "${DST}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
