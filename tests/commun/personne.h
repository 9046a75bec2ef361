#pragma once

// Sous root, les droits ne bloquent rien : un essai qui doit se heurter à eux se joue dans un
// processus fils sous l'identité de « nobody ».
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace essai {

constexpr uid_t personne = 65534; ///< nobody, et son groupe nogroup

/// Code de sortie de `essai` joué sous « nobody » si l'on est root, tel quel sinon ; 99 si
/// le fils n'a pas pu changer d'identité, 96 s'il a levé une exception.
inline int sousPersonne(const std::function<int()> &essai)
{
    if (::geteuid() != 0)
        return essai();
    const pid_t fils = ::fork();
    if (fils < 0)
        return 98;
    if (fils == 0) {
        if (::setgid(personne) != 0 || ::setuid(personne) != 0)
            ::_exit(99);
        int code = 96; // exception : le fils ne doit jamais revenir dans le test
        try {
            code = essai();
        } catch (...) { }
        ::_exit(code);
    }
    int statut = 0;
    if (::waitpid(fils, &statut, 0) != fils || !WIFEXITED(statut))
        return 97;
    return WEXITSTATUS(statut);
}

} // namespace essai
