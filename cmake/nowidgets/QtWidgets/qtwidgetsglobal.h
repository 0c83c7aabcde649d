// Seen only by the core's files (src/core), before Qt's own header of this name, which every
// Qt Widgets header includes first.
#error "src/core is below the windows: a core file may not include a Qt Widgets header (move the code to src/ui)"
