#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

// A uniform type: an identifier ("public.mpeg-4") with the file-name extensions that carry it and
// the types it conforms to. The system's types are known from the start; an app declares its
// own (with their extensions) once, then imports them by identifier, as an app's declared
// types are read from its bundle. Process-wide registry; thread safe. Value type.
class UniformType {
public:
    struct Declaration {
        std::string identifier;
        std::vector<std::string> extensions;  // the preferred one first, without the dot
        std::vector<std::string> conformsTo;  // identifiers; none: "public.data"
    };

    // Adds (or replaces) a declaration; its types must be known by the time they are asked about.
    static void declare(Declaration declaration);
    // A known type by identifier.
    static std::optional<UniformType> withIdentifier(std::string_view identifier);
    // The first declared type for an extension (case does not matter; system types first).
    static std::optional<UniformType> forFilenameExtension(std::string_view extension);
    // A type the app imports: its declaration when there is one, else a bare type of that
    // identifier conforming to `conformingTo` (declared on the way, so it is known from then on).
    static UniformType importedAs(const std::string& identifier, const std::string& conformingTo = "public.data");

    const std::string& identifier() const { return m_identifier; }
    std::vector<std::string> filenameExtensions() const;
    std::optional<std::string> preferredFilenameExtension() const;
    // Direct parents.
    std::vector<std::string> supertypes() const;
    // Reflexive and transitive: an MPEG-4 movie conforms to "public.movie" and "public.data".
    bool conforms(const UniformType& other) const;

    bool operator==(const UniformType& other) const { return m_identifier == other.m_identifier; }

    // The system types the program names.
    static UniformType item() { return known("public.item"); }
    static UniformType data() { return known("public.data"); }
    static UniformType content() { return known("public.content"); }
    static UniformType folder() { return known("public.folder"); }
    static UniformType audiovisualContent() { return known("public.audiovisual-content"); }
    static UniformType movie() { return known("public.movie"); }
    static UniformType video() { return known("public.video"); }
    static UniformType mpeg4Movie() { return known("public.mpeg-4"); }
    static UniformType avi() { return known("public.avi"); }
    static UniformType mpeg2TransportStream() { return known("public.mpeg-2-transport-stream"); }
    static UniformType quickTimeMovie() { return known("com.apple.quicktime-movie"); }
    static UniformType mpeg() { return known("public.mpeg"); }
    static UniformType mpeg2Video() { return known("public.mpeg-2-video"); }
    static UniformType plainText() { return known("public.plain-text"); }

private:
    explicit UniformType(std::string identifier) : m_identifier(std::move(identifier)) {}
    static UniformType known(const char* identifier) { return UniformType(identifier); }

    std::string m_identifier;
};

}  // namespace foundation
