# The folders whose texts are translated, and how lupdate reads them: the windows' tr() and,
# below the windows, TavTr(context, source) (text/Translate.h). Shared by the build's
# update_translations target and the test that keeps translations/ up to the sources.
set(TAV_TRANSLATED_FOLDERS text engine settings analysis desktop cli platform components app options batch tools program)
set(TAV_TRANSLATED_LAYERS text engine settings analysis desktop platform components app options batch tools)
set(TAV_LUPDATE_OPTIONS -locations none -no-obsolete -tr-function-alias translate+=TavTr,QT_TRANSLATE_NOOP+=TAV_TRANSLATE_NOOP)
