# Writes OUT, a source file that holds the shipped settings files as text, so the game writes
# exactly the shipped files when a player's copy is missing.
file(READ "${CONFIG_INI}" config_text)
file(READ "${CTRL_CONFIG_INI}" ctrl_text)
file(WRITE "${OUT}.new"
  "// Generated from data/defaults by the build; do not edit.\n"
  "#include \"core/ShippedDefaults.h\"\n\n"
  "const char* shippedConfigIni()\n{\n    return R\"ini(${config_text})ini\";\n}\n\n"
  "const char* shippedCtrlConfigIni()\n{\n    return R\"ini(${ctrl_text})ini\";\n}\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
